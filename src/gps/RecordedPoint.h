#ifndef TESSEL_RECORDEDPOINT_H
#define TESSEL_RECORDEDPOINT_H

// A point the recording took, for drawing the growing track.
struct RecordedPoint {
    double lon = 0, lat = 0;
    bool startsSegment = false; // also true for a recording's first point
};

#endif
