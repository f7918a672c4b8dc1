#ifndef TESSEL_MERCATOR_H
#define TESSEL_MERCATOR_H

#include <string>

// Web Mercator, as tiled web maps number it: at level z the world is a
// square of 256 * 2^z pixels, (0, 0) its north-west corner at 180° W and
// about 85.05° N.
namespace Mercator {

const double earthRadius = 6378137.0; // metres, as the projection defines it

// Longitude and latitude (degrees) of the world pixel position (x, y) at
// level z; positions are continuous, a pixel's centre is at +0.5.
void toLonLat(double x, double y, int z, double* lon, double* lat);
// The world pixel position of a longitude and latitude (clamped to the
// projection's latitudes).
void toPixel(double lon, double lat, int z, double* x, double* y);
// Metres on the ground per pixel at a latitude and level.
double metresPerPixel(double lat, int z);
// "50.08712° N 14.42076° E"
std::string formatLonLat(double lon, double lat);

// A scale bar for `metresPerPixel`: the longest round length (1, 1.5, 2, 3,
// 4, 5, 6 or 8 times a power of ten, in metres) that is at most maxPixels
// long, so at least two thirds of it; its length in pixels and its label
// ("200 m", "1.5 km").
struct ScaleBar {
    int pixels = 0;
    double metres = 0;
    std::string label;
};
ScaleBar scaleBar(double metresPerPixel, int maxPixels);

} // namespace Mercator

#endif
