#ifndef TESSEL_ROUTEFOLLOWER_H
#define TESSEL_ROUTEFOLLOWER_H

#include "Route.h"

#include <cstddef>

// Following a route with live fixes, without SDL: where on the route the
// fix is, the next turn and how far it is, whether the fix has left the
// route (more than offMetres away for offFixes fixes in a row: time for a
// new route from the fix), and the arrival, told once.
class RouteFollower {
public:
    static constexpr double offMetres = 50;
    static constexpr int offFixes = 3;
    static constexpr double arrivalMetres = 30;

    // Starts following `route` (copied); everything told before is forgotten.
    void follow(const Route& route);
    void clear() { following = false; }
    bool active() const { return following; }

    enum Event { none, offRoute, arrived };
    // Takes a fix; returns what to tell: offRoute once per departure,
    // arrived once per route.
    Event fix(double lat, double lon);

    // After a fix on the route: the next turn (index into turns, turns.size()
    // when none is left) and the metres along the route to it.
    std::size_t nextTurn = 0;
    double metresToTurn = 0;
    double metresOff = 0;   // from the route, at the last fix

private:
    Route route;
    bool following = false, arrivedTold = false, offTold = false;
    int offCount = 0;
    std::size_t segment = 0;   // where the last fix was matched
};

#endif
