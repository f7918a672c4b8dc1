#ifndef TESSEL_POSITIONOVERLAY_H
#define TESSEL_POSITIONOVERLAY_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>

class Map;
struct LonLat;

// The screen centre's latitude and longitude and a scale bar, small in the
// lower left corner, above the toolbar, on a light plate so that they read
// over any map and any track (the followed fix's, when `at` is given). Only
// for packages whose tiles are Web Mercator.
class PositionOverlay {
public:
    static constexpr int left = 4;
    static constexpr int textTop = 184;
    static constexpr int barY = 207;
    static constexpr int maxBar = 100;

    // What it would show; false when there is nothing to show.
    static bool describe(const Map& map, std::string* position, int* barPixels, std::string* barLabel,
                         const LonLat* at = nullptr);
    static void draw(SDL_Surface* screen, const Map& map, TTF_Font* font, bool blended, const LonLat* at = nullptr);
    // Everything it draws lies inside this.
    static SDL_Rect extent();
};

#endif
