#include "Mercator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace Mercator {

namespace {

const double pi = 3.14159265358979323846;

double worldSize(int z)
{
    return 256.0 * std::ldexp(1.0, z);
}

} // namespace

void toLonLat(double x, double y, int z, double* lon, double* lat)
{
    const double size = worldSize(z);
    *lon = x / size * 360.0 - 180.0;
    *lat = std::atan(std::sinh(pi * (1.0 - 2.0 * y / size))) * 180.0 / pi;
}

void toPixel(double lon, double lat, int z, double* x, double* y)
{
    const double size = worldSize(z);
    const double clamped = std::max(-85.0511287798, std::min(85.0511287798, lat)) * pi / 180.0;
    *x = (lon + 180.0) / 360.0 * size;
    *y = (1.0 - std::log(std::tan(clamped) + 1.0 / std::cos(clamped)) / pi) / 2.0 * size;
}

double metresPerPixel(double lat, int z)
{
    return 2.0 * pi * earthRadius * std::cos(lat * pi / 180.0) / worldSize(z);
}

std::string formatLonLat(double lon, double lat)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.5f\xC2\xB0 %c %.5f\xC2\xB0 %c", std::fabs(lat), lat < 0 ? 'S' : 'N',
                  std::fabs(lon), lon < 0 ? 'W' : 'E');
    return text;
}

ScaleBar scaleBar(double perPixel, int maxPixels)
{
    ScaleBar bar;
    if (!(perPixel > 0) || maxPixels <= 0)
        return bar;
    const double most = perPixel * maxPixels;
    // Steps close enough that the bar is always two thirds of the room or more.
    double length = std::pow(10.0, std::floor(std::log10(most)));
    for (double step : {8.0, 6.0, 5.0, 4.0, 3.0, 2.0, 1.5, 1.0})
        if (length * step <= most) {
            length *= step;
            break;
        }
    bar.metres = length;
    bar.pixels = static_cast<int>(std::lround(length / perPixel));
    char text[32];
    if (length >= 1000)
        std::snprintf(text, sizeof text, "%g km", length / 1000);
    else if (length >= 1)
        std::snprintf(text, sizeof text, "%g m", length);
    else
        std::snprintf(text, sizeof text, "%g cm", length * 100);
    bar.label = text;
    return bar;
}

} // namespace Mercator
