#ifndef TESSEL_ROUTEFOLDERS_H
#define TESSEL_ROUTEFOLDERS_H

#include "RouteArea.h"

#include <string>
#include <vector>

// The routing data beside the maps: every folder named "*.routes" in the
// maps folder, with the box it covers (from its stamp, else from the
// header of its nodes file: a few bytes, nothing mapped).
struct RouteFolders {
    struct Entry {
        std::string dir;
        RouteArea area;
    };
    std::vector<Entry> entries;

    void scan(const std::string& mapsDir);
    // The folder covering both ends (the smallest box when several do);
    // empty when none does.
    std::string covering(double fromLat, double fromLon, double toLat, double toLon) const;
};

#endif
