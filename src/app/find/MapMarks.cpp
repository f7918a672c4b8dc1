#include "MapMarks.h"

#include "Effects.h"
#include "Map.h"
#include "Signature.h"

#include <cmath>

namespace {

void box(SDL_Surface* screen, int x, int y, int size, Uint8 r, Uint8 g, Uint8 b)
{
    SDL_Rect area{static_cast<Sint16>(x - size / 2), static_cast<Sint16>(y - size / 2), static_cast<Uint16>(size),
                  static_cast<Uint16>(size)};
    SDL_FillRect(screen, &area, SDL_MapRGB(screen->format, r, g, b));
}

// Where a point lies on the screen; false when far outside it.
bool place(const Map& map, double lat, double lon, int* x, int* y)
{
    double sx, sy;
    if (!map.toScreen(LonLat{lon, lat}, &sx, &sy) || !(std::fabs(sx) < 1e6 && std::fabs(sy) < 1e6))
        return false;
    *x = static_cast<int>(std::lround(sx));
    *y = static_cast<int>(std::lround(sy));
    return *x > -130 && *y > -20 && *x < map.screen->w + 20 && *y < map.screen->h + 20;
}

void name(SDL_Surface* screen, TTF_Font* font, const std::string& text, int x, int y, bool blended)
{
    if (!font || text.empty())
        return;
    SDL_Rect source;
    SDL_Rect at{static_cast<Sint16>(x + 7), static_cast<Sint16>(y - 7), 120, 14};
    Effects::alignText(Effects::alignLeft | Effects::alignTop, font, text, &source, &at);
    Effects::blitOutlinedText(screen, font, text, SDL_Color{0, 0, 0, 0}, SDL_Color{255, 255, 255, 0}, blended, source,
                              at);
}

} // namespace

void MapMarks::draw(SDL_Surface* screen, const Map& map, const Waypoints& waypoints, TTF_Font* font,
                    bool blended) const
{
    if (!map.loaded() || !map.screen)
        return;
    int x, y;
    for (const Waypoints::Waypoint& w : waypoints.list) {
        if (!place(map, w.lat, w.lon, &x, &y))
            continue;
        box(screen, x, y, 9, 255, 255, 255);
        box(screen, x, y, 7, 128, 0, 160);
        name(screen, font, w.name, x, y, blended);
    }
    if (marked && place(map, chosen.lat, chosen.lon, &x, &y)) {
        box(screen, x, y, 13, 255, 255, 255);
        box(screen, x, y, 11, 220, 30, 30);
        box(screen, x, y, 5, 255, 255, 255);
        name(screen, font, chosen.name, x + 2, y, blended);
    }
}

void MapMarks::sign(Signature* look, const Map& map, std::uint64_t waypointsRevision) const
{
    look->add(static_cast<std::uint64_t>(map.loaded()) | static_cast<std::uint64_t>(marked) << 1);
    look->add(waypointsRevision);
    if (marked) {
        look->add(chosen.name);
        look->add(static_cast<std::uint64_t>(std::llround(chosen.lat * 1e7)));
        look->add(static_cast<std::uint64_t>(std::llround(chosen.lon * 1e7)));
    }
}
