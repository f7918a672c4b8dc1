#ifndef TESSEL_PACK_HGTPYRAMID_H
#define TESSEL_PACK_HGTPYRAMID_H

#include "HgtTile.h"

#include <vector>

// An .hgt tile's samples and its halvings (each a 1-2-1 filter of the one
// below, on every second sample, so a sample stays where it was): coarse
// map levels read a halving near their own pixel size instead of every
// sample, and do not alias.
class HgtPyramid {
public:
    static constexpr int maxHalvings = 4; // 1200 and 3600 halve four times evenly

    explicit HgtPyramid(const HgtTile& tile);
    int south() const { return corner[0]; }
    int west() const { return corner[1]; }
    double spacing(int halving) const;
    // The elevation at (lon, lat) inside the tile, bilinear between the
    // samples of `halving` whose spacing is nearest below `pixelDegrees`;
    // NaN where the samples around are voids.
    float sample(double lon, double lat, double pixelDegrees) const;

private:
    struct Level {
        int edge;
        std::vector<float> z;
        float at(int x, int y) const { return z[static_cast<std::size_t>(y) * edge + x]; }
    };
    int corner[2];
    std::vector<Level> levels;
};

#endif
