#ifndef TESSEL_HILLSHADE_H
#define TESSEL_HILLSHADE_H

#include "Bitmap.h"
#include "ElevationGrid.h"

#include <cstdint>

// Multidirectional hill shading: the light comes from the north-west, west,
// north and south-west at 45° above the horizon (weights 0.45, 0.2, 0.2,
// 0.15), so a ridge running along one light still shows. The result is
// darkness as alpha over one shadow colour: flat ground and slopes facing
// the light are fully transparent, the base map stays as it is there.
// Per pixel it is integer-indexed tables: slopes from Horn's 3×3 gradient
// go through a table that spaces them finely near flat and coarsely
// towards cliffs, and a second table holds the shade of every pair.
namespace HillShade {

const std::uint16_t shadowColour = 0x2945; // a dark slate
const int maxAlpha = 200;

// How far apart samples are on the ground, from the cell's top row to its
// bottom row (Mercator stretches towards the poles), and how much slopes
// are steepened: at coarse levels a pixel averages kilometres, and true
// slopes would leave mountains flat.
struct Scale {
    double topMetres = 1, bottomMetres = 1;
    double exaggeration = 1;
};
// The scale of cell (x, y) of level z drawn at `size` pixels: true slopes
// from level 12 on, twice as steep every two levels above it.
Scale scaleOf(int z, long long y, int size);

// Shades `grid` into `out` (size × size, the shadow colour with alpha).
void draw(const ElevationGrid& grid, const Scale& scale, Bitmap* out);
// The alpha of one slope (metres per metre, east and north): the table's
// own entry, for tests.
int alphaOf(double east, double north);

} // namespace HillShade

#endif
