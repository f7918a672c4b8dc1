#ifndef TESSEL_GPX_H
#define TESSEL_GPX_H

#include "LonLat.h"
#include "TrackPoint.h"

#include <cstddef>
#include <atomic>
#include <string>
#include <vector>

struct Waypoint {
    LonLat at;
    std::string name;
};

// A <trk> or <rte> of a file: its name and its lines [firstLine, endLine).
struct GpxTrack {
    std::string name;
    std::size_t firstLine = 0, endLine = 0;
};

// What one GPX file holds: its name (metadata, else empty), its track
// segments and routes as lines, its waypoints, and which lines make up
// each track. Read with Gpx::Keep::figures, every line also has its
// points' elevations and times (NaN where a point has none); drawing
// needs neither, so they are kept only when asked for.
struct GpxData {
    std::string name;
    std::vector<std::vector<LonLat>> lines;
    std::vector<Waypoint> waypoints;
    std::vector<GpxTrack> tracks;
    std::vector<std::vector<float>> elevations; // per line, with Keep::figures
    std::vector<std::vector<double>> times;     // per line, with Keep::figures
    std::size_t points() const;
    // Point i of a line with its elevation and time when they were kept.
    TrackPoint point(std::size_t line, std::size_t i) const;
    std::vector<TrackPoint> pointsOf(std::size_t line) const;
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

// What to keep of each point: where it is (for drawing), or also its
// elevation and time (for a track's figures).
enum class Keep { lines, figures };

// True when the whole file was read; false with *problem set when anything
// was skipped or the XML is damaged (what was read stays in *out).
// A true *stop (set by another thread) ends the reading early, between
// blocks of input, as damage does.
bool parse(const std::string& bytes, GpxData* out, std::string* problem, const std::atomic<bool>* stop = nullptr,
           Keep keep = Keep::lines);
// parse() of a regular file of at most maxBytes.
bool read(const std::string& path, GpxData* out, std::string* problem, const std::atomic<bool>* stop = nullptr,
          Keep keep = Keep::lines);
// "2024-05-01T10:00:00Z", with fractions and a zone offset or not, as
// seconds since 1970; false for anything else.
bool parseTime(const std::string& text, double* seconds);

} // namespace Gpx

#endif
