#include "PositionOverlay.h"

#include "Effects.h"
#include "Gpx.h"
#include "Map.h"
#include "Mercator.h"

#include <algorithm>
#include <cmath>

namespace {

const SDL_Color ink{0, 0, 0, 0};

void fillBox(SDL_Surface* screen, int x, int y, int w, int h, Uint32 colour)
{
    SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    SDL_FillRect(screen, &r, colour);
}

// Draws `s` at (x, y); returns its width.
int text(SDL_Surface* screen, TTF_Font* font, const std::string& s, int x, int y, bool blended)
{
    SDL_Rect source;
    SDL_Rect box{static_cast<Sint16>(x), static_cast<Sint16>(y), 200, 14};
    Effects::alignText(Effects::alignLeft | Effects::alignTop, font, s, &source, &box);
    Effects::blitChangingText(screen, font, s, ink, blended, source, box);
    return box.w;
}

} // namespace

bool PositionOverlay::describe(const Map& map, std::string* position, int* barPixels, std::string* barLabel,
                               const LonLat* at)
{
    int z = 0;
    if (!map.mercatorLevel(&z))
        return false;
    double wx, wy, lon, lat;
    map.worldPixel(map.grid.viewWidth / 2.0, map.grid.viewHeight / 2.0, &wx, &wy);
    // A package numbered off the planet has no place nor scale to tell.
    const double side = std::ldexp(256.0, z);
    if (!at && !(wx >= 0 && wx < side && wy >= 0 && wy < side))
        return false;
    Mercator::toLonLat(wx, wy, z, &lon, &lat);
    if (at) {
        lon = at->lon;
        lat = at->lat;
    }
    *position = Mercator::formatLonLat(lon, lat);
    const Mercator::ScaleBar bar = Mercator::scaleBar(Mercator::metresPerPixel(lat, z), maxBar);
    *barPixels = bar.pixels;
    *barLabel = bar.label;
    return bar.pixels > 0;
}

void PositionOverlay::draw(SDL_Surface* screen, const Map& map, TTF_Font* font, bool blended, const LonLat* at)
{
    std::string position, label;
    int pixels = 0;
    if (!font || !describe(map, &position, &pixels, &label, at))
        return;
    // A light plate under the text and the bar, as wide as they are.
    int textW, labelW, h;
    Effects::measureText(font, position, &textW, &h);
    Effects::measureText(font, label, &labelW, &h);
    const SDL_Rect all = extent();
    const int w = std::min<int>(all.w, std::max(textW, pixels + 6 + labelW) + 4);
    Effects::plate(screen, SDL_Rect{all.x, all.y, static_cast<Uint16>(w), all.h});
    text(screen, font, position, left, textTop, blended);
    // The bar: dark, ticks at both ends.
    const Uint32 dark = SDL_MapRGB(screen->format, 0, 0, 0);
    fillBox(screen, left, barY, pixels + 1, 2, dark);
    fillBox(screen, left, barY - 4, 1, 6, dark);
    fillBox(screen, left + pixels, barY - 4, 1, 6, dark);
    text(screen, font, label, left + pixels + 6, barY - 8, blended);
}

SDL_Rect PositionOverlay::extent()
{
    return SDL_Rect{left - 2, textTop - 1, 240, barY + 4 - (textTop - 1)};
}
