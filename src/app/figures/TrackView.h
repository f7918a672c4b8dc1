#ifndef TESSEL_TRACKVIEW_H
#define TESSEL_TRACKVIEW_H

#include "Gpx.h"

#include <SDL.h>

class Map;

// Brings a whole GPX file into a room of the screen: level by level
// towards the deepest one at which it fits the room (as far as the package
// goes), its middle at the room's middle.
namespace TrackView {

// False when the file has no point or no map is open.
bool show(Map* map, const GpxData& data, const SDL_Rect& room);

} // namespace TrackView

#endif
