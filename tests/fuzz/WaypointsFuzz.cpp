// Fuzz target for the waypoints file: read, written and read again alike.
#include "Waypoints.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Waypoints points;
    std::string why;
    points.parse(std::string(reinterpret_cast<const char*>(data), size), &why);
    if (points.list.size() > Waypoints::maxWaypoints)
        __builtin_trap();
    for (const Waypoints::Waypoint& w : points.list)
        if (w.name.empty() || w.name.size() > Waypoints::maxNameBytes || !(std::fabs(w.lat) <= 90 && std::fabs(w.lon) <= 180))
            __builtin_trap();
    Waypoints again;
    if (!again.parse(points.text(), &why) || again.list.size() != points.list.size())
        __builtin_trap();
    for (std::size_t i = 0; i < points.list.size(); ++i)
        if (again.list[i].name != points.list[i].name)
            __builtin_trap();
    return 0;
}
