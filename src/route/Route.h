#ifndef TESSEL_ROUTE_H
#define TESSEL_ROUTE_H

#include <cstddef>
#include <string>
#include <vector>

// A point of the route's line, with the distance and time from the start.
struct RoutePoint {
    double lat = 0, lon = 0;
    double metres = 0, seconds = 0;
};

// A place where the route says something: the start, a junction, a
// roundabout, a U-turn, the arrival.
struct RouteTurn {
    enum Kind { start, junction, roundabout, leaveRoundabout, miniRoundabout, uturn, arrive };
    Kind kind = junction;
    std::size_t point = 0;   // index into Route::points
    int angle = 0;           // degrees to turn, negative left, positive right
    int bearing = 0;         // compass direction taken, degrees
    int exit = 0;            // roundabout: which exit is taken, from 1
    std::string way;         // the name of the way taken (empty when it has none)
    int roadClass = 0;       // a way without a name: its class (RouteList::roadClasses), from 1
};

// A computed route as plain data: the line, every place to tell, the totals.
struct Route {
    std::vector<RoutePoint> points;
    std::vector<RouteTurn> turns;
    double metres() const { return points.empty() ? 0 : points.back().metres; }
    double seconds() const { return points.empty() ? 0 : points.back().seconds; }
};

#endif
