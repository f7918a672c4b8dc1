#include "FiguresPanel.h"

#include "Effects.h"
#include "FiguresPage.h"
#include "Lang.h"
#include "Map.h"

#include <cmath>
#include <cstdio>

namespace FiguresPanel {

const SDL_Rect panel{0, 0, 320, 104};
const SDL_Rect profile{34, 40, 280, 50};
const SDL_Rect mapRoom{0, 104, 320, 108};

namespace {

const char* const none = "\xe2\x80\x93"; // an en dash
const SDL_Color ink{0, 0, 0, 0};

Uint32 rgb(SDL_Surface* s, Uint8 r, Uint8 g, Uint8 b)
{
    return SDL_MapRGB(s->format, r, g, b);
}

void fill(SDL_Surface* s, int x, int y, int w, int h, Uint32 colour)
{
    if (w <= 0 || h <= 0)
        return;
    SDL_Rect r{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
    SDL_FillRect(s, &r, colour);
}

void text(SDL_Surface* s, TTF_Font* font, const std::string& words, int x, int y, int w, int align, bool blended)
{
    if (!font)
        return;
    SDL_Rect box{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), 12};
    SDL_Rect source;
    Effects::alignText(align | Effects::alignTop, font, words, &source, &box);
    Effects::blitText(s, font, words, ink, blended, &source, &box);
}

void figures(SDL_Surface* s, TTF_Font* font, const Lang& lang, const TrackSummary& f, bool blended)
{
    const std::string cells[3][3] = {
        {lang.value("figures_distance") + " " + distance(f.distance),
         lang.value("figures_ascent") + " " + height(f.ascent), lang.value("figures_lowest") + " " + height(f.lowest)},
        {lang.value("figures_duration") + " " + clock(f.duration),
         lang.value("figures_descent") + " " + height(f.descent),
         lang.value("figures_highest") + " " + height(f.highest)},
        {lang.value("figures_moving") + " " + clock(f.moving),
         lang.value("figures_average") + " " + speed(f.averageSpeed),
         lang.value("figures_max") + " " + speed(f.maxSpeed)},
    };
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            text(s, font, cells[row][col], 3 + 106 * col, 1 + 12 * row, 104, Effects::alignLeft, blended);
}

// The columns, the elevation steps and the cursor.
void graph(SDL_Surface* s, TTF_Font* font, const Lang& lang, const FiguresPage& page, bool blended)
{
    const ElevationProfile& p = page.profile;
    fill(s, profile.x, profile.y, profile.w, profile.h, rgb(s, 255, 255, 255));
    if (!(p.lowest == p.lowest)) {
        text(s, font, lang.value("figures_none"), profile.x, profile.y + 18, profile.w, Effects::alignCenter, blended);
    } else {
        const double step = p.step(3);
        const double bottom = std::floor(p.lowest / step) * step;
        double top = std::ceil(p.highest / step) * step;
        if (top <= bottom)
            top = bottom + step;
        const int base = profile.y + profile.h - 1;
        const auto yOf = [&](double h) {
            return base - static_cast<int>(std::lround((h - bottom) / (top - bottom) * (profile.h - 1)));
        };
        for (double h = bottom; h <= top + step / 2; h += step) {
            fill(s, profile.x, yOf(h), profile.w, 1, rgb(s, 200, 200, 200));
            text(s, font, height(h), 0, yOf(h) - 6, profile.x - 3, Effects::alignRight, blended);
        }
        // Columns no point fell in take the slope between their neighbours.
        const Uint32 ground = rgb(s, 120, 150, 90);
        int before = -1;
        for (int x = 0; x < static_cast<int>(p.columns.size()); ++x) {
            const float high = p.columns[static_cast<std::size_t>(x)].high;
            if (high != high)
                continue;
            const float from = before >= 0 ? p.columns[static_cast<std::size_t>(before)].high : high;
            for (int between = before + 1; between <= x; ++between) {
                const double t = before >= 0 ? static_cast<double>(between - before) / (x - before) : 1;
                const int y = yOf(from + (high - from) * t);
                if (before >= 0 || between == x)
                    fill(s, profile.x + between, y, 1, base - y + 1, ground);
            }
            before = x;
        }
    }
    fill(s, profile.x + page.cursor(), profile.y, 1, profile.h, rgb(s, 220, 0, 0));
    const int below = profile.y + profile.h + 1;
    text(s, font, "0", profile.x, below, 40, Effects::alignLeft, blended);
    text(s, font, distance(p.length), profile.x + profile.w - 60, below, 60, Effects::alignRight, blended);
    text(s, font, distance(page.distanceAtCursor()) + "  " + height(page.elevationAtCursor()), profile.x + 50, below,
         profile.w - 110, Effects::alignCenter, blended);
}

} // namespace

std::string distance(double metres)
{
    if (!(metres == metres))
        return none;
    char out[32];
    if (metres < 999.5)
        std::snprintf(out, sizeof out, "%.0f m", metres);
    else
        std::snprintf(out, sizeof out, metres < 100000 ? "%.2f km" : "%.0f km", metres / 1000);
    return out;
}

std::string clock(double seconds)
{
    if (!(seconds == seconds) || seconds < 0 || seconds > 1e9)
        return none;
    const long long s = std::llround(seconds);
    char out[32];
    std::snprintf(out, sizeof out, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return out;
}

std::string speed(double metresPerSecond)
{
    if (!(metresPerSecond == metresPerSecond))
        return none;
    char out[32];
    std::snprintf(out, sizeof out, "%.1f km/h", metresPerSecond * 3.6);
    return out;
}

std::string height(double metres)
{
    if (!(metres == metres))
        return none;
    char out[32];
    std::snprintf(out, sizeof out, "%.0f m", metres);
    return out;
}

void draw(SDL_Surface* screen, TTF_Font* font, const Lang& lang, const FiguresPage& page, bool blended)
{
    if (!page.isOpen())
        return;
    fill(screen, panel.x, panel.y, panel.w, panel.h, rgb(screen, 236, 236, 228));
    fill(screen, panel.x, panel.y + panel.h - 1, panel.w, 1, rgb(screen, 0, 0, 0));
    figures(screen, font, lang, page.summary, blended);
    graph(screen, font, lang, page, blended);
}

SDL_Rect markerBox(const FiguresPage& page, const Map& map)
{
    LonLat at;
    double x, y;
    if (!page.markerAt(&at) || !map.loaded() || !map.toScreen(at, &x, &y) || !(std::fabs(x) < 1e5 && std::fabs(y) < 1e5))
        return SDL_Rect{0, 0, 0, 0};
    return SDL_Rect{static_cast<Sint16>(std::lround(x) - 4), static_cast<Sint16>(std::lround(y) - 4), 9, 9};
}

void drawMarker(SDL_Surface* screen, const FiguresPage& page, const Map& map)
{
    const SDL_Rect box = markerBox(page, map);
    if (box.w == 0)
        return;
    fill(screen, box.x, box.y, box.w, box.h, rgb(screen, 0, 0, 0));
    fill(screen, box.x + 1, box.y + 1, box.w - 2, box.h - 2, rgb(screen, 230, 0, 0));
}

} // namespace FiguresPanel
