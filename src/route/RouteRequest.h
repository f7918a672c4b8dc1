#ifndef TESSEL_ROUTEREQUEST_H
#define TESSEL_ROUTEREQUEST_H

#include "Route.h"
#include "RouteProfile.h"
#include "Router.h"

#include <cstdint>
#include <string>

// What the viewer asks of the route worker: a route between two points
// over whichever routing folder in `mapsDir` covers both.
struct RouteRequest {
    std::uint64_t id = 0;
    std::string mapsDir;
    RouteProfile profile;
    double fromLat = 0, fromLon = 0, toLat = 0, toLon = 0;
    std::string profilesFile;   // empty: the library's shipped profiles
};

// What it gives back: the route, or why there is none.
struct RouteResult {
    std::uint64_t id = 0;
    Router::Outcome outcome = Router::failed;
    enum Data { usable, noneCovering, unusable };
    Data data = usable;         // no routing folder covers both ends, or the one that does is not sound
    std::string why;
    Route route;
};

#endif
