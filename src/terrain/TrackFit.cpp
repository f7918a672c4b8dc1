#include "TrackFit.h"

#include "Mercator.h"

#include <algorithm>
#include <cmath>

namespace TrackFit {

bool fit(const GpxData& data, int width, int height, int margin, View* out)
{
    // World pixels at the deepest level; a level up halves them.
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    auto add = [&](const LonLat& p) {
        double x, y;
        Mercator::toPixel(p.lon, p.lat, deepest, &x, &y);
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    };
    for (const auto& line : data.lines)
        for (const LonLat& p : line)
            add(p);
    for (const Waypoint& w : data.waypoints)
        add(w.at);
    if (!(left <= right))
        return false;
    Mercator::toLonLat((left + right) / 2, (top + bottom) / 2, deepest, &out->lon, &out->lat);
    out->z = -1;
    if (right - left < 1 && bottom - top < 1)
        return true;
    const double roomX = std::max(1, width - 2 * margin), roomY = std::max(1, height - 2 * margin);
    out->z = deepest;
    while (out->z > 0 && (std::ldexp(right - left, out->z - deepest) > roomX || std::ldexp(bottom - top, out->z - deepest) > roomY))
        --out->z;
    return true;
}

} // namespace TrackFit
