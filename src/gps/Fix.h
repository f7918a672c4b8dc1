#ifndef TESSEL_FIX_H
#define TESSEL_FIX_H

#include <cmath>

// What the receiver knows, as gpsd last reported it.
enum class FixMode { unknown, none, twoD, threeD };

// One position report. Values the report did not carry are NaN;
// `satellites` is -1 when unknown. A report is a position only when
// hasPosition(): a 2D or 3D fix with finite coordinates in range.
struct Fix {
    FixMode mode = FixMode::unknown;
    double lat = NAN, lon = NAN; // degrees
    double ele = NAN;            // metres above mean sea level
    double time = NAN;           // UTC, seconds since 1970
    double accuracy = NAN;       // horizontal error estimate, metres
    double course = NAN;         // degrees from true north, [0, 360)
    double speed = NAN;          // metres per second
    int satellites = -1;         // used in the solution

    bool hasPosition() const
    {
        return (mode == FixMode::twoD || mode == FixMode::threeD) && std::isfinite(lat) && std::isfinite(lon) &&
               lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180;
    }
};

#endif
