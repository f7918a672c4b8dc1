#ifndef TESSEL_ELEVATIONPROFILE_H
#define TESSEL_ELEVATIONPROFILE_H

#include <cmath>
#include <cstddef>
#include <vector>

// A track's elevations across a width of pixels, distance along the x
// axis: each column holds the lowest and highest elevation of the points
// it covers and the point at its middle (where a cursor on it stands).
struct ElevationProfile {
    struct Column {
        float low = NAN, high = NAN;
        std::size_t point = 0;
    };
    std::vector<Column> columns;
    double length = 0;               // metres
    float lowest = NAN, highest = NAN;

    // From the distance along the track and the elevation of every point.
    static ElevationProfile build(const std::vector<double>& along, const std::vector<float>& heights, int width);
    // A round step for the elevation axis: at most `lines` steps between
    // lowest and highest (1, 2 or 5 times a power of ten metres).
    double step(int lines) const;
};

#endif
