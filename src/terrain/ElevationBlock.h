#ifndef TESSEL_ELEVATIONBLOCK_H
#define TESSEL_ELEVATIONBLOCK_H

#include "ElevationTile.h"

#include <memory>

// An elevation tile with its eight neighbours (any may be missing): what a
// cell needs so that its shading and contours meet the next cell's without
// a seam.
struct ElevationBlock {
    std::shared_ptr<const ElevationTile> tiles[3][3]; // [row][column], the centre at [1][1]

    const ElevationTile* centre() const { return tiles[1][1].get(); }
    // The elevation at sample (x, y) counted from the centre tile's first,
    // up to one tile beyond it on every side. Where the neighbour is
    // missing (or of another size) the nearest edge sample of the tiles
    // present stands in.
    float sample(int x, int y) const;
};

#endif
