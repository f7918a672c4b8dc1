#ifndef TESSEL_GP2X_H
#define TESSEL_GP2X_H

// The platform hook every pointer position passes through. On this platform
// (version 400) the hardware's coordinates are used as they come; a window
// that shows the screen scaled and offset has them taken back to the
// 320x240 screen here.
namespace Gp2x {

// The platform's version number, computed once.
int version();
// Converts pointer coordinates to screen coordinates.
void reverseCoordsIfNeeded(int* x, int* y);
// The window shows each screen pixel as a scale x scale square, the screen's
// corner at (offsetX, offsetY).
void setDisplay(int scale, int offsetX, int offsetY);

} // namespace Gp2x

#endif
