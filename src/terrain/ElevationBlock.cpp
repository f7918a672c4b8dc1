#include "ElevationBlock.h"

#include <algorithm>

float ElevationBlock::sample(int x, int y) const
{
    const ElevationTile* c = centre();
    const int n = c->edge;
    const int col = x < 0 ? 0 : x >= n ? 2 : 1, row = y < 0 ? 0 : y >= n ? 2 : 1;
    const ElevationTile* t = tiles[row][col].get();
    if (t && t->edge == n) {
        x = std::clamp(x - (col - 1) * n, 0, n - 1);
        y = std::clamp(y - (row - 1) * n, 0, n - 1);
        return t->at(x, y);
    }
    return c->at(std::clamp(x, 0, n - 1), std::clamp(y, 0, n - 1));
}
