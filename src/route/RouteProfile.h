#ifndef TESSEL_ROUTEPROFILE_H
#define TESSEL_ROUTEPROFILE_H

#include <string>

class ConfParser;

// How the route is travelled: on foot, by bicycle or by car, the shortest
// or the quickest way. Stored in the settings as "route_profile" (foot,
// bicycle, car) and "route_shortest" (0 or 1).
struct RouteProfile {
    enum Transport { foot, bicycle, car };
    Transport transport = car;
    bool shortest = false;

    // The profile's name among the library's shipped profiles.
    const char* libraryName() const;
    // "foot", "bicycle", "car".
    const char* name() const;
    // Reads a name as name() writes it; false (leaving `out` alone) otherwise.
    static bool parse(const std::string& text, Transport* out);
    // The choice kept in the settings; what is missing or unknown there
    // keeps its default.
    static RouteProfile read(const ConfParser& settings);
    void store(ConfParser* settings) const;
};

#endif
