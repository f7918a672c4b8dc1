#ifndef TESSEL_ROUTER_H
#define TESSEL_ROUTER_H

#include "Route.h"
#include "RouteProfile.h"

#include <atomic>
#include <functional>
#include <string>

class RouteDatabase;

// Computes a route between two points over one database. Runs on whatever
// thread calls it (the viewer's worker, the toolbox's main thread); the
// caller may stop it through `cancel` and hear of it through `progress`
// (0 to 1), both looked at by the library as it searches.
class Router {
public:
    enum Outcome { found, noRoadNearStart, noRoadNearEnd, notConnected, cancelled, badProfile, failed };

    std::string profilesFile;   // the library's shipped profiles unless set
    const std::atomic<bool>* cancel = nullptr;
    std::function<void(double)> progress;

    Router();
    // Fills `route`; otherwise says why (a sentence for the user).
    Outcome compute(RouteDatabase& db, const RouteProfile& profile, double fromLat, double fromLon, double toLat,
                    double toLon, Route* route, std::string* why) const;
};

#endif
