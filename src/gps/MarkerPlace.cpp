#include "MarkerPlace.h"

#include <algorithm>
#include <cmath>

MarkerPlace MarkerPlace::of(double x, double y, int width, int height, int margin)
{
    const double cx = width / 2.0, cy = height / 2.0;
    const double halfW = std::max(0.0, cx - margin), halfH = std::max(0.0, cy - margin);
    MarkerPlace place;
    if (!std::isfinite(x) || !std::isfinite(y)) {
        place.x = cx;
        place.y = cy;
        place.atEdge = true;
        return place;
    }
    const double dx = x - cx, dy = y - cy;
    // The largest share of the way to the fix that stays inside the box.
    double share = 1;
    if (std::fabs(dx) > halfW)
        share = std::min(share, halfW / std::fabs(dx));
    if (std::fabs(dy) > halfH)
        share = std::min(share, halfH / std::fabs(dy));
    place.x = cx + dx * share;
    place.y = cy + dy * share;
    place.atEdge = share < 1;
    return place;
}
