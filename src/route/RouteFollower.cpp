#include "RouteFollower.h"

#include <cmath>

namespace {

const double metresPerDegree = 111320;

// The nearest point of segment a-b to p, on a plane local to p: how far
// along it (0 to 1) and how far from p, in metres.
double nearest(const RoutePoint& a, const RoutePoint& b, double lat, double lon, double* along)
{
    const double k = std::cos(lat * M_PI / 180);
    const double ax = (a.lon - lon) * k * metresPerDegree, ay = (a.lat - lat) * metresPerDegree;
    const double bx = (b.lon - lon) * k * metresPerDegree, by = (b.lat - lat) * metresPerDegree;
    const double dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? -(ax * dx + ay * dy) / length2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    *along = t;
    return std::hypot(ax + t * dx, ay + t * dy);
}

} // namespace

void RouteFollower::follow(const Route& r)
{
    route = r;
    following = route.points.size() >= 2;
    arrivedTold = offTold = false;
    offCount = 0;
    segment = 0;
    nextTurn = 0;
    metresToTurn = metresOff = 0;
}

RouteFollower::Event RouteFollower::fix(double lat, double lon)
{
    if (!following)
        return none;
    double best = -1, bestAlong = 0;
    for (std::size_t i = 0; i + 1 < route.points.size(); ++i) {
        double along;
        const double d = nearest(route.points[i], route.points[i + 1], lat, lon, &along);
        if (best < 0 || d < best) {
            best = d;
            bestAlong = along;
            segment = i;
        }
    }
    metresOff = best;
    const RoutePoint& a = route.points[segment];
    const double here = a.metres + bestAlong * (route.points[segment + 1].metres - a.metres);
    nextTurn = 0;
    while (nextTurn < route.turns.size() && route.turns[nextTurn].point <= segment)
        ++nextTurn;
    metresToTurn = nextTurn < route.turns.size() ? route.points[route.turns[nextTurn].point].metres - here : 0;
    if (best > offMetres) {
        if (++offCount >= offFixes && !offTold) {
            offTold = true;
            return offRoute;
        }
        return none;
    }
    offCount = 0;
    offTold = false;
    if (!arrivedTold && route.metres() - here <= arrivalMetres) {
        arrivedTold = true;
        return arrived;
    }
    return none;
}
