#ifndef TESSEL_SCREENPARTS_H
#define TESSEL_SCREENPARTS_H

#include "ScreenPart.h"

#include <vector>

class Program;

// The parts of the viewer's screen in drawing order: the map (with what
// is drawn on it) under everything, the followed fix's coordinates, the
// route's line, a track's figures, the toolbar, the menu, the battery,
// the gps indicator, the frame rate, the search page, the notification,
// the centre cross.
namespace ScreenParts {

std::vector<ScreenPart> of(Program& program);

} // namespace ScreenParts

#endif
