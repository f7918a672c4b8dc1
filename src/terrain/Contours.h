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
// square's mean, so both cells of a seam decide alike), joined into lines
// through the crossings they share, numbered edge by edge (no hashing).
namespace Contours {

// The interval (metres) at level z: 500 m to level 9, then 200, 100, 50,
// 20 at levels 13 and 14 (alpine slopes would pack 10 m lines a pixel
// apart there), and 10 m from level 15.
double intervalAt(int z);
// Crossings one cell may hold: a hostile tile (noise over thousands of
// metres) would otherwise ask for hundreds of millions.
const std::size_t maxSegments = 1u << 18;

// Every multiple of `interval` inside the grid's range; squares touching
// no data are left out. `majorEvery` intervals make a major line. A cell
// crossed more than maxSegments times is noise, not ground: it gets no
// lines (*cut set, when given).
std::vector<ContourLine> trace(const ElevationGrid& grid, double interval, int majorEvery = 5, bool* cut = nullptr);

} // namespace Contours

#endif
