// Fuzz target for the GPX reader.
#include "Gpx.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    GpxData gpx;
    std::string problem;
    Gpx::parse(std::string(reinterpret_cast<const char*>(data), size), &gpx, &problem);
    if (gpx.points() > Gpx::maxPoints)
        __builtin_trap();
    for (const auto& line : gpx.lines)
        for (const LonLat& p : line)
            if (!(p.lat >= -90 && p.lat <= 90 && p.lon >= -180 && p.lon <= 180))
                __builtin_trap();
    return 0;
}
