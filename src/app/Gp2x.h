#ifndef TESSEL_GP2X_H
#define TESSEL_GP2X_H

// The platform hook every touch position passes through. On this platform
// (version 400) coordinates are used as they come.
namespace Gp2x {

// The platform's version number, computed once.
int version();
// Converts touch coordinates for platforms above version 400; here they stay.
void reverseCoordsIfNeeded(int* x, int* y);

} // namespace Gp2x

#endif
