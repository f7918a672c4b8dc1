#include "PositionOverlay.h"

#include "Effects.h"
#include "Map.h"
#include "Mercator.h"

namespace {

const SDL_Color ink{0, 0, 0, 0};
const SDL_Color halo{255, 255, 255, 0};

void fillBox(SDL_Surface* screen, int x, int y, int w, int h, Uint32 colour)
{
    SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    SDL_FillRect(screen, &r, colour);
}

void text(SDL_Surface* screen, TTF_Font* font, const std::string& s, int x, int y, bool blended)
{
    SDL_Rect source;
    SDL_Rect box{static_cast<Sint16>(x), static_cast<Sint16>(y), 200, 14};
    Effects::alignText(Effects::alignLeft | Effects::alignTop, font, s, &source, &box);
    Effects::blitOutlinedText(screen, font, s, ink, halo, blended, source, box);
}

} // namespace

bool PositionOverlay::describe(const Map& map, std::string* position, int* barPixels, std::string* barLabel)
{
    int z = 0;
    if (!map.mercatorLevel(&z))
        return false;
    double wx, wy, lon, lat;
    map.worldPixel(map.viewWidth / 2.0, map.viewHeight / 2.0, &wx, &wy);
    Mercator::toLonLat(wx, wy, z, &lon, &lat);
    *position = Mercator::formatLonLat(lon, lat);
    const Mercator::ScaleBar bar = Mercator::scaleBar(Mercator::metresPerPixel(lat, z), maxBar);
    *barPixels = bar.pixels;
    *barLabel = bar.label;
    return bar.pixels > 0;
}

void PositionOverlay::draw(SDL_Surface* screen, const Map& map, TTF_Font* font, bool blended)
{
    std::string position, label;
    int pixels = 0;
    if (!font || !describe(map, &position, &pixels, &label))
        return;
    text(screen, font, position, left, textTop, blended);
    // The bar: dark with a light rim, ticks at both ends.
    const Uint32 light = SDL_MapRGB(screen->format, 255, 255, 255);
    const Uint32 dark = SDL_MapRGB(screen->format, 0, 0, 0);
    fillBox(screen, left - 1, barY - 5, pixels + 3, 8, light);
    fillBox(screen, left, barY, pixels + 1, 2, dark);
    fillBox(screen, left, barY - 4, 1, 6, dark);
    fillBox(screen, left + pixels, barY - 4, 1, 6, dark);
    text(screen, font, label, left + pixels + 6, barY - 8, blended);
}

SDL_Rect PositionOverlay::extent()
{
    return SDL_Rect{left - 2, textTop - 1, 240, barY + 4 - (textTop - 1)};
}
