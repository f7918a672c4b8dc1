#ifndef TESSEL_GPX_H
#define TESSEL_GPX_H

#include "LonLat.h"

#include <cstddef>
#include <atomic>
#include <string>
#include <vector>

struct Waypoint {
    LonLat at;
    std::string name;
};

// What one GPX file holds: its name (metadata, else empty), its track
// segments and routes as lines, its waypoints.
struct GpxData {
    std::string name;
    std::vector<std::vector<LonLat>> lines;
    std::vector<Waypoint> waypoints;
    std::size_t points() const;
};

// GPX 1.0 and 1.1 through expat. Damaged XML keeps what came before the
// damage and says where it is; points with coordinates out of range are
// skipped and counted. Bounded: at most maxBytes of input, maxPoints
// points (the rest is skipped, with a warning), names of maxText bytes (cut
// at a character's start) and elements nested maxDepth deep (deeper
// nesting stops the reading: memory follows the points kept).
namespace Gpx {

const std::size_t maxBytes = 64u << 20;
const std::size_t maxPoints = 2000000;
const std::size_t maxText = 1024;
const std::size_t maxDepth = 64;

// True when the whole file was read; false with *problem set when anything
// was skipped or the XML is damaged (what was read stays in *out).
// A true *stop (set by another thread) ends the reading early, between
// blocks of input, as damage does.
bool parse(const std::string& bytes, GpxData* out, std::string* problem, const std::atomic<bool>* stop = nullptr);
// parse() of a regular file of at most maxBytes.
bool read(const std::string& path, GpxData* out, std::string* problem, const std::atomic<bool>* stop = nullptr);

} // namespace Gpx

#endif
