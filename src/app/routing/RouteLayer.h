#ifndef TESSEL_ROUTELAYER_H
#define TESSEL_ROUTELAYER_H

#include "Route.h"
#include "Tracks.h"

#include <SDL.h>
#include <cstdint>

class Signature;

// The route over the map: a yellow line on a dark rim, wider than the
// tracks so it reads over any of them, drawn above the tracks and under the
// position marker. Projected once per level, as tracks are; `version`
// changes with the route, so an unchanged route costs the screen nothing.
class RouteLayer {
public:
    static constexpr SDL_Color fill{255, 215, 0, 0};
    static constexpr SDL_Color rim{40, 40, 40, 0};

    void show(const Route& route);
    void clear();
    bool shown() const { return !line.files.empty(); }
    void draw(SDL_Surface* screen, int z, double originX, double originY);
    void sign(Signature* signature) const;

private:
    Tracks line; // the rim, then the fill, over the same points
    std::uint64_t version = 0;
};

#endif
