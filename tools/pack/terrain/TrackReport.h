#ifndef TESSEL_PACK_TRACKREPORT_H
#define TESSEL_PACK_TRACKREPORT_H

#include "TrackFigures.h"

#include <ostream>
#include <string>
#include <vector>

// A track's figures for people (one block of values with their units) or
// for scripts (a JSON array, one object per track: metres, seconds and
// metres per second, null where the track cannot tell).
namespace TrackReport {

struct Entry {
    std::string name;
    TrackSummary figures;
    std::size_t elevationsFilled = 0;
};

void writeText(const std::vector<Entry>& tracks, std::ostream& out);
void writeJson(const std::vector<Entry>& tracks, std::ostream& out);
// "1:02:03" (hours, minutes, seconds)
std::string clock(double seconds);

} // namespace TrackReport

#endif
