#include "AccuracyDisc.h"

#include "Bitmap.h"

#include <algorithm>
#include <cmath>

namespace {

// The half-width of row dy of a circle of radius r, -1 when the row misses.
int halfWidth(double r, int dy)
{
    const double squared = r * r - static_cast<double>(dy) * dy;
    return squared < 0 ? -1 : static_cast<int>(std::floor(std::sqrt(squared)));
}

void blendSpan(std::uint16_t* row, int from, int to, unsigned alpha)
{
    for (int x = from; x <= to; ++x)
        row[x] = Pixels::mix565(row[x], AccuracyDisc::colour, alpha);
}

} // namespace

// A pixel belongs to the rim when its distance from the centre is within
// half a pixel of the radius, to the disc when it is nearer.
const std::vector<AccuracyDisc::Row>& AccuracyDisc::rows(int radius)
{
    if (radius != rowsRadius) {
        rowsOf.assign(static_cast<std::size_t>(radius) + 1, Row{-1, -1});
        for (int dy = 0; dy <= radius; ++dy)
            rowsOf[static_cast<std::size_t>(dy)] = Row{halfWidth(radius - 0.5, dy), halfWidth(radius + 0.5, dy)};
        rowsRadius = radius;
    }
    return rowsOf;
}

void AccuracyDisc::draw(SDL_Surface* screen, int cx, int cy, int radius, bool filled)
{
    if (radius <= 0 || screen->format->BytesPerPixel != 2 || SDL_LockSurface(screen) != 0)
        return;
    const std::vector<Row>& table = rows(radius);
    const SDL_Rect& clip = screen->clip_rect;
    const int top = std::max<int>(clip.y, cy - radius), bottom = std::min<int>(clip.y + clip.h - 1, cy + radius);
    const int left = clip.x, right = clip.x + clip.w - 1;
    for (int y = top; y <= bottom; ++y) {
        const Row& row = table[static_cast<std::size_t>(std::abs(y - cy))];
        std::uint16_t* pixels = reinterpret_cast<std::uint16_t*>(static_cast<Uint8*>(screen->pixels) + y * screen->pitch);
        // Left rim, disc, right rim, each cut to the clip.
        blendSpan(pixels, std::max(left, cx - row.outside), std::min(right, cx - row.inside - 1), rimAlpha);
        if (filled)
            blendSpan(pixels, std::max(left, cx - row.inside), std::min(right, cx + row.inside), fillAlpha);
        blendSpan(pixels, std::max(left, cx + std::max(row.inside, 0) + 1), std::min(right, cx + row.outside), rimAlpha);
    }
    SDL_UnlockSurface(screen);
}
