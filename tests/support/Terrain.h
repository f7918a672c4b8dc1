#ifndef TESSEL_TEST_TERRAIN_H
#define TESSEL_TEST_TERRAIN_H

#include "ElevationGrid.h"

#include <functional>
#include <string>

// Made-up elevations for tests and benchmarks: shapes whose slopes and
// contours are known exactly.
using Surface = std::function<double(double x, double y)>; // metres at a sample position

// A Terrarium PNG of edge × edge samples, sample (x, y) = f(x0 + x, y0 + y).
std::string terrariumTile(int edge, const Surface& f, int x0 = 0, int y0 = 0);
// A grid of `size` with its ring, sample (x, y) = f(x, y) for x, y in -1..size.
ElevationGrid gridOf(int size, const Surface& f);
// A tile decoded from f, as an archive would give it.
std::shared_ptr<const ElevationTile> tileOf(int edge, const Surface& f, int x0 = 0, int y0 = 0);
// A big-endian .hgt file's bytes of samples² values h(x, y).
std::string hgtBytes(int samples, const std::function<int(int x, int y)>& h);
// Alpine-like ground: ridges and valleys some hundred metres high, slopes
// of 5 to 14 m a sample.
double alpine(double x, double y);

#endif
