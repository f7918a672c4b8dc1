#include "ViewGrid.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

int ViewGrid::cellsFor(int view, int tile)
{
    return view > tile ? (view + tile - 1) / tile + 1 : 2;
}

void ViewGrid::resize(int width, int height, int tile)
{
    viewWidth = width;
    viewHeight = height;
    tileSize = tile;
    cols = cellsFor(width, tile);
    rows = cellsFor(height, tile);
}

void ViewGrid::setArea(int width, int height)
{
    areaWidth = width;
    areaHeight = height;
}

namespace {

// A pixel offset of two tiles or more (or a negative one), as a damaged or
// hand-made map.conf may hold, is carried into the tile number; tile numbers
// stay within a range where the placement's arithmetic cannot overflow.
void reduceIntoTile(int* tile, int* pixel, int ts)
{
    long long t = *tile, p = *pixel;
    if (p < 0 || p >= 2LL * ts) {
        long long carry = p / ts;
        if (p % ts < 0)
            --carry;
        t += carry;
        p -= carry * ts;
    }
    const long long limit = 1LL << 30;
    *tile = static_cast<int>(std::max(-limit, std::min(limit, t)));
    *pixel = static_cast<int>(p);
}

} // namespace

void ViewGrid::place(ViewCentre c)
{
    if (!bounded) {
        placeCentreAxis(c.pixelsX(tileSize), viewWidth, areaWidth, &originX, &offsetX);
        placeCentreAxis(c.pixelsY(tileSize), viewHeight, areaHeight, &originY, &offsetY);
        return;
    }
    reduceIntoTile(&c.tileX, &c.pixelX, tileSize);
    reduceIntoTile(&c.tileY, &c.pixelY, tileSize);
    placeAxis(c.tileX, c.pixelX, viewWidth, cols, areaWidth, &originX, &offsetX);
    placeAxis(c.tileY, c.pixelY, viewHeight, rows, areaHeight, &originY, &offsetY);
}

// One axis of place(): the first cell and the offset that put (tile,
// pixel) at the view's middle, then kept inside the area.
void ViewGrid::placeAxis(int tile, int pixel, int view, int cells, int area, int* origin, int* offset) const
{
    const int ts = tileSize;
    const int half = view / 2;
    int p = pixel - half % ts;
    int first = tile - half / ts - (p < 0 ? 1 : 0);
    if (p < 0)
        p += ts;
    *offset = first < 0 ? 0 : p;
    first = std::max(first, 0);
    if (first > area - cells) {
        const long long past = static_cast<long long>(first - (area - cells)) * ts + *offset;
        *offset = static_cast<int>(std::min(past, static_cast<long long>(cells) * ts - view));
        first = area - cells;
    }
    // An area narrower or lower than the grid starts at its first column
    // or row; the cells past its end show the missing-tile picture.
    if (first < 0) {
        first = 0;
        *offset = 0;
    }
    *origin = first;
}

// One axis of an unbounded place(): the centre kept inside the area, the
// grid wherever that puts it.
void ViewGrid::placeCentreAxis(long long centre, int view, int area, int* origin, int* offset) const
{
    const long long ts = tileSize;
    const long long left = std::max(0LL, std::min(static_cast<long long>(area) * ts - 1, centre)) - view / 2;
    *origin = static_cast<int>(left / ts - (left % ts < 0 ? 1 : 0));
    *offset = static_cast<int>(left - static_cast<long long>(*origin) * ts);
}

int ViewGrid::withinArea(Axis axis, int d) const
{
    const bool across = axis == Axis::across;
    const long long centre = across ? viewLeft() + viewWidth / 2 : viewTop() + viewHeight / 2;
    const long long last = static_cast<long long>(across ? areaWidth : areaHeight) * tileSize - 1;
    const long long target = std::max(0LL, std::min(last, centre + d));
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, target - centre)));
}

ViewCentre ViewGrid::centre() const
{
    ViewCentre c;
    c.tileX = originX;
    c.tileY = originY;
    c.pixelX = offsetX + viewWidth / 2;
    c.pixelY = offsetY + viewHeight / 2;
    return c;
}

bool ViewGrid::shift(Axis axis, bool back)
{
    const bool across = axis == Axis::across;
    int& origin = across ? originX : originY;
    const int cells = across ? cols : rows;
    if (bounded && (back ? origin <= 0 : origin + cells >= (across ? areaWidth : areaHeight)))
        return false;
    origin += back ? -1 : 1;
    (across ? offsetX : offsetY) = back ? tileSize : (cells - 1) * tileSize - (across ? viewWidth : viewHeight);
    return true;
}

// Within the grid the offset moves; past it a column (or row) comes in and
// the rest of the distance is applied again.
bool ViewGrid::slide(Axis axis, int d, const std::function<void(Axis, bool)>& shifted)
{
    if (!bounded) {
        const int allowed = withinArea(axis, d);
        return slideWithin(axis, allowed, shifted) && allowed == d;
    }
    return slideWithin(axis, d, shifted);
}

bool ViewGrid::slideWithin(Axis axis, int d, const std::function<void(Axis, bool)>& shifted)
{
    const bool across = axis == Axis::across;
    int& offset = across ? offsetX : offsetY;
    const long long view = across ? viewWidth : viewHeight;
    const long long span = static_cast<long long>(across ? cols : rows) * tileSize;
    while (d != 0) {
        const long long n = static_cast<long long>(offset) + d;
        if (n >= 0 && n + view <= span) {
            offset = static_cast<int>(n);
            return true;
        }
        const bool back = d < 0;
        const long long rest = back ? n : n + view - span;
        if (!shift(axis, back)) {
            offset = static_cast<int>(back ? 0 : span - view);
            return false;
        }
        shifted(axis, back);
        d = static_cast<int>(rest);
    }
    return true;
}

bool ViewGrid::isFar(long long dx, long long dy) const
{
    return std::llabs(dx) > 2LL * cols * tileSize || std::llabs(dy) > 2LL * rows * tileSize;
}

bool ViewGrid::jump(int dx, int dy)
{
    const long long left = viewLeft(), top = viewTop();
    const ViewCentre c = centre();
    place(ViewCentre::atPixels(c.pixelsX(tileSize) + dx, c.pixelsY(tileSize) + dy, tileSize));
    return viewLeft() - left == dx && viewTop() - top == dy;
}
