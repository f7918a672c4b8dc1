#ifndef TESSEL_GPSDREPORT_H
#define TESSEL_GPSDREPORT_H

#include "Fix.h"

#include <string>

struct gps_data_t;

// gpsd's reports as libgps leaves them in its gps_data_t, turned into a Fix.
// Every value is range-checked here, where it enters: a NaN, infinite or
// impossible value becomes "not reported", so nothing downstream (the map,
// the recording) ever sees one.
namespace GpsdReport {

enum Kind { other, position, sky };

// Folds the report just read into *fix: a position report (TPV) replaces
// the position fields, a sky report (SKY) the satellite count. Says which
// kind of report it was.
Kind fold(const gps_data_t& data, Fix* fix);

// One message as gpsd sends it (a JSON line), through libgps's own parser,
// folded into *fix. The fuzz target and tests use it.
Kind foldMessage(const std::string& message, Fix* fix);

} // namespace GpsdReport

#endif
