#ifndef TESSEL_TRACKLOG_H
#define TESSEL_TRACKLOG_H

#include <cmath>
#include <string>
#include <vector>

// A point of a recorded track: where, and when known its elevation
// (metres) and time (seconds since 1970, UTC).
struct TrackPoint {
    double lon = 0, lat = 0;
    double elevation = NAN;
    double time = NAN;
    bool hasElevation() const { return elevation == elevation; }
    bool hasTime() const { return time == time; }
};

// One track of a GPX file (<trk>, or a <rte> without times) with its
// segments, elevations and times: what the figures of a walk are made of.
struct TrackLog {
    std::string name;
    std::vector<std::vector<TrackPoint>> segments;
    std::size_t points() const;

    // The tracks of a GPX file, through expat, with the bounds of the GPX
    // reader (input size, points, text, depth). True when the whole file
    // was read; false with *problem when anything was skipped or the XML is
    // damaged (what came before stays in *out).
    static bool parse(const std::string& bytes, std::vector<TrackLog>* out, std::string* problem);
    static bool read(const std::string& path, std::vector<TrackLog>* out, std::string* problem);
    // "2024-05-01T10:00:00Z", with fractions and a zone offset or not;
    // false for anything else.
    static bool parseTime(const std::string& text, double* seconds);
};

#endif
