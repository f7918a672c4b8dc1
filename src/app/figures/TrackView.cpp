#include "TrackView.h"

#include "Map.h"
#include "Mercator.h"
#include "TrackFit.h"

namespace TrackView {

bool show(Map* map, const GpxData& data, const SDL_Rect& room)
{
    TrackFit::View view;
    const SDL_Surface* screen = map->screen;
    if (!screen || !TrackFit::fit(data, room.w, room.h, 8, &view))
        return false;
    int z = 0;
    for (int step = 0; view.z >= 0 && step < 32 && map->mercatorLevel(&z) && z != view.z; ++step)
        if (!(z < view.z ? map->zoomIn() : map->zoomOut()))
            break;
    // The screen's centre is where the room's middle shows the file's middle.
    double x, y;
    if (!map->mercatorLevel(&z))
        return map->centreOn(view.lon, view.lat);
    Mercator::toPixel(view.lon, view.lat, z, &x, &y);
    x -= room.x + room.w / 2.0 - screen->w / 2.0;
    y -= room.y + room.h / 2.0 - screen->h / 2.0;
    double lon, lat;
    Mercator::toLonLat(x, y, z, &lon, &lat);
    return map->centreOn(lon, lat);
}

} // namespace TrackView
