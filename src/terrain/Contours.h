#ifndef TESSEL_CONTOURS_H
#define TESSEL_CONTOURS_H

#include "ElevationGrid.h"

#include <vector>

// One contour line through a cell, in the cell's pixels (sample (x, y) at
// (x + 0.5, y + 0.5)). It may run half a pixel into the ring of the
// neighbouring cells: drawn clipped to the cell, it meets the neighbour's
// own piece exactly.
struct ContourLine {
    float elevation = 0;
    bool major = false; // every fifth interval: stronger, with its height written along it
    bool closed = false;
    std::vector<float> xy; // x and y interleaved
};

// Contour lines by marching squares over a grid (saddles split by the
// square's mean, so both cells of a seam decide alike), joined into lines.
namespace Contours {

// The interval (metres) at level z: 500, 200, 100, 50, 20 and 10 m from
// level 9 and coarser to 14 and deeper.
double intervalAt(int z);
// Pieces of line one cell may hold: a hostile tile (noise over thousands
// of metres) would otherwise ask for hundreds of millions.
const std::size_t maxSegments = 1u << 18;

// Every multiple of `interval` inside the grid's range; squares touching
// no data are left out. `majorEvery` intervals make a major line. Past
// maxSegments the tracing stops (*cut set, when given) with what it has.
std::vector<ContourLine> trace(const ElevationGrid& grid, double interval, int majorEvery = 5, bool* cut = nullptr);

} // namespace Contours

#endif
