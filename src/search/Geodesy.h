#ifndef TESSEL_SEARCH_GEODESY_H
#define TESSEL_SEARCH_GEODESY_H

#include <cmath>

// Distances and directions on the sphere, as far as a search needs them.
namespace Geodesy {

const double earthRadius = 6371008.8;  // metres, the mean radius

inline double radians(double d)
{
    return d * 3.14159265358979323846 / 180;
}

// Great-circle distance in metres.
inline double distance(double lat1, double lon1, double lat2, double lon2)
{
    const double dLat = radians(lat2 - lat1), dLon = radians(lon2 - lon1);
    const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(radians(lat1)) * std::cos(radians(lat2)) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * earthRadius * std::asin(std::sqrt(std::fmin(1.0, a)));
}

// Initial direction from the first point to the second, degrees from north (0 to 360).
inline double bearing(double lat1, double lon1, double lat2, double lon2)
{
    const double p1 = radians(lat1), p2 = radians(lat2), dLon = radians(lon2 - lon1);
    const double y = std::sin(dLon) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dLon);
    const double b = std::atan2(y, x) * 180 / 3.14159265358979323846;
    return b < 0 ? b + 360 : b;
}

// One of the eight directions ("N", "NE", ...) for a bearing.
inline const char* compass(double degrees)
{
    static const char* const names[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    const int i = static_cast<int>(std::floor((degrees + 22.5) / 45)) % 8;
    return names[i < 0 ? i + 8 : i];
}

} // namespace Geodesy

#endif
