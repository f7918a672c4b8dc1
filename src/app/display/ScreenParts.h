#ifndef TESSEL_SCREENPARTS_H
#define TESSEL_SCREENPARTS_H

#include "ScreenPart.h"

#include <vector>

class Program;

// The parts of the viewer's screen in drawing order: the map (with the
// tracks and the live position on it) under everything, the followed
// fix's coordinates, the toolbar, the menu, the battery, the gps
// indicator, the frame rate, the notification, the centre cross.
namespace ScreenParts {

std::vector<ScreenPart> of(Program& program);

} // namespace ScreenParts

#endif
