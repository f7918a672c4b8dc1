#include "ElevationBlock.h"

#include <algorithm>

float ElevationBlock::sample(int x, int y) const
{
    const int n = centre()->edge;
    int col = x < 0 ? 0 : x >= n ? 2 : 1, row = y < 0 ? 0 : y >= n ? 2 : 1;
    auto usable = [&](int r, int c) {
        const ElevationTile* t = tiles[r][c].get();
        return t && t->edge == n ? t : nullptr;
    };
    // A missing corner tile: the edge of the side neighbour stands in, as
    // it does on the neighbour's own side, so both cells see one value.
    const ElevationTile* t = usable(row, col);
    if (!t && (t = usable(1, col)))
        row = 1;
    else if (!t && (t = usable(row, 1)))
        col = 1;
    else if (!t)
        t = centre(), row = col = 1;
    return t->at(std::clamp(x - (col - 1) * n, 0, n - 1), std::clamp(y - (row - 1) * n, 0, n - 1));
}
