#ifndef TESSEL_TRACKPOINT_H
#define TESSEL_TRACKPOINT_H

#include <cmath>

// A point of a track with what the figures of a walk need: where, and when
// known its elevation (metres) and time (seconds since 1970, UTC).
struct TrackPoint {
    double lon = 0, lat = 0;
    double elevation = NAN;
    double time = NAN;
    bool hasElevation() const { return elevation == elevation; }
    bool hasTime() const { return time == time; }
};

#endif
