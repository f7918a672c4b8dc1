// Fuzz target for the GPX reader, read for drawing and for figures.
#include "Gpx.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    GpxData gpx, figures;
    std::string problem;
    Gpx::parse(bytes, &gpx, &problem);
    Gpx::parse(bytes, &figures, &problem, nullptr, Gpx::Keep::figures);
    if (gpx.points() > Gpx::maxPoints || figures.points() != gpx.points())
        __builtin_trap();
    for (const auto& line : gpx.lines)
        for (const LonLat& p : line)
            if (!(p.lat >= -90 && p.lat <= 90 && p.lon >= -180 && p.lon <= 180))
                __builtin_trap();
    // Every line has its elevations and times, and belongs to one track.
    std::size_t covered = 0;
    for (const GpxTrack& t : figures.tracks) {
        if (t.firstLine != covered || t.endLine <= t.firstLine)
            __builtin_trap();
        covered = t.endLine;
    }
    if (covered != figures.lines.size() || figures.elevations.size() != figures.lines.size() ||
        figures.times.size() != figures.lines.size())
        __builtin_trap();
    for (std::size_t i = 0; i < figures.lines.size(); ++i)
        if (figures.elevations[i].size() != figures.lines[i].size() || figures.times[i].size() != figures.lines[i].size())
            __builtin_trap();
    return 0;
}
