#ifndef TESSEL_ELEVATIONGRID_H
#define TESSEL_ELEVATIONGRID_H

#include "ElevationBlock.h"

#include <cstddef>
#include <vector>

// The elevations of one map cell at its drawing resolution: size × size
// samples, sample (x, y) at the centre of pixel (x, y), ringed by one
// sample of the neighbouring cells on every side, so a slope or a contour
// at the cell's edge is computed from the same values on both sides.
struct ElevationGrid {
    int size = 0;
    std::vector<float> z; // (size + 2)², the ring included; NaN: no data
    bool hasVoids = false; // false: no NaN anywhere (true: there may be)

    int stride() const { return size + 2; }
    // x and y from -1 to size.
    float at(int x, int y) const { return z[static_cast<std::size_t>(y + 1) * stride() + (x + 1)]; }
    float& at(int x, int y) { return z[static_cast<std::size_t>(y + 1) * stride() + (x + 1)]; }

    // The cell that shows, at `size` pixels, the square of the block's
    // centre tile that is 2^-deeper of its edge wide at column subX and row
    // subY (deeper 0: the whole tile; deeper > 0: a level past the data's
    // deepest, upsampled bilinearly so slopes stay smooth). Samples are
    // copied where the cell and the tile match, interpolated otherwise.
    static void build(const ElevationBlock& block, int size, int deeper, long long subX, long long subY,
                      ElevationGrid* out);
    // A grid straight from samples (tests, the toolbox): values of
    // (size + 2)² with the ring.
    static ElevationGrid fromSamples(int size, std::vector<float> samples);
};

#endif
