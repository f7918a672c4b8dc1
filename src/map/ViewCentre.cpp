#include "ViewCentre.h"

#include <algorithm>
#include <climits>

namespace {

constexpr long long tileLimit = 1LL << 30;

int clampTile(long long tile)
{
    return static_cast<int>(std::max(-tileLimit, std::min(tileLimit, tile)));
}

int truncateToInt(long long value)
{
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
}

long long floorDiv(long long a, long long b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}

} // namespace

ViewCentre ViewCentre::atPixels(long long x, long long y, int tileSize)
{
    const long long ts = tileSize;
    ViewCentre c;
    c.tileX = clampTile(floorDiv(x, ts));
    c.tileY = clampTile(floorDiv(y, ts));
    c.pixelX = static_cast<int>((x % ts + ts) % ts);
    c.pixelY = static_cast<int>((y % ts + ts) % ts);
    return c;
}

ViewCentre ViewCentre::scaled(int f, bool in, int tileSize) const
{
    const long long ts = tileSize;
    ViewCentre c;
    int* tiles[2] = {&c.tileX, &c.tileY};
    int* pixels[2] = {&c.pixelX, &c.pixelY};
    const long long tile[2] = {tileX, tileY}, pixel[2] = {pixelX, pixelY};
    for (int axis = 0; axis < 2; ++axis) {
        if (in) {
            *tiles[axis] = truncateToInt(f * tile[axis] + (f * pixel[axis]) / ts);
            *pixels[axis] = static_cast<int>((f * pixel[axis]) % ts);
        } else {
            *tiles[axis] = static_cast<int>(tile[axis] / f);
            *pixels[axis] = static_cast<int>(((tile[axis] % f) * ts + pixel[axis]) / f);
        }
    }
    return c;
}

ViewCentre ViewCentre::rebased(const long long from[2], const long long to[2], int f, bool in, int tileSize) const
{
    const long long ts = tileSize;
    const long long world[2] = {(from[0] + tileX) * ts + pixelX, (from[1] + tileY) * ts + pixelY};
    ViewCentre c;
    int* tiles[2] = {&c.tileX, &c.tileY};
    int* pixels[2] = {&c.pixelX, &c.pixelY};
    for (int axis = 0; axis < 2; ++axis) {
        const long long w = in ? world[axis] * f : world[axis] / f;
        *tiles[axis] = truncateToInt(w / ts - to[axis]);
        *pixels[axis] = static_cast<int>(w % ts);
    }
    return c;
}
