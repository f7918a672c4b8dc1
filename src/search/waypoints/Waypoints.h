#ifndef TESSEL_SEARCH_WAYPOINTS_H
#define TESSEL_SEARCH_WAYPOINTS_H

#include <string>
#include <vector>

// The user's marked places: tracks/waypoints.gpx, GPX 1.1 `wpt` elements
// with a name. Saved as the settings are: the new file is written and
// synced beside the old, the old keeps a second name "~", the new one is
// renamed over the name, so a kill never leaves it lost or half-written.
class Waypoints {
public:
    struct Waypoint {
        std::string name;
        double lat = 0, lon = 0;
    };
    static const std::size_t maxWaypoints = 10000;
    static const std::size_t maxNameBytes = 255;

    // An absent file is an empty list; a damaged one is false with *why
    // (the list keeps what could be read).
    bool load(const std::string& path, std::string* why);
    bool save(const std::string& path, std::string* why) const;
    // The GPX text; parse() reads it back.
    std::string text() const;
    bool parse(const std::string& gpx, std::string* why);

    // "Waypoint N" with the first N no waypoint is named by.
    std::string nextName() const;
    // Indexes of the waypoints, nearest to the point first.
    std::vector<std::size_t> nearest(double lat, double lon) const;
    // False when the name is empty (after cleaning) or the place is off the Earth.
    bool add(const std::string& name, double lat, double lon);

    std::vector<Waypoint> list;
};

#endif
