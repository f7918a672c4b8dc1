#ifndef TESSEL_GPSSTATUS_H
#define TESSEL_GPSSTATUS_H

#include "Fix.h"

#include <string>

// The receiver and the recording as the main thread sees them.
struct GpsStatus {
    // connecting: the first attempt is not over; waiting: an attempt
    // failed or gpsd went away, the next one is due later.
    enum Link { off, waiting, connected, connecting };
    Link link = off;
    Fix fix;                  // the latest report; no position when lost
    unsigned long reports = 0; // position reports so far: a new count is a new report
    bool recording = false;
    std::string recordingPath;
    // Why the recording stopped by itself, once; the feed clears it when
    // read.
    std::string recordingProblem;
};

#endif
