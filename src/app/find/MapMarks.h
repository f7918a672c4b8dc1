#ifndef TESSEL_MAPMARKS_H
#define TESSEL_MAPMARKS_H

#include "Waypoints.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <cstdint>
#include <string>

class Map;
class Signature;

// What the search and the waypoints put on the map: each waypoint as a
// dot with its name, and the place last chosen on the search page as a
// ring with its name. Drawn over the tracks, under the position marker.
class MapMarks {
public:
    struct Mark {
        std::string name;
        double lat = 0, lon = 0;
    };

    void draw(SDL_Surface* screen, const Map& map, const Waypoints& waypoints, TTF_Font* font, bool blended) const;
    // `waypointsRevision` stands for the list: signing every name on every
    // frame would cost an idle frame as much as the list is long.
    void sign(Signature* look, const Map& map, std::uint64_t waypointsRevision) const;

    Mark chosen;
    bool marked = false;
};

#endif
