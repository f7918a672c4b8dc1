#ifndef TESSEL_GPSDREPORT_H
#define TESSEL_GPSDREPORT_H

#include "Fix.h"

#include <cstddef>
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

// One message as gpsd sends it (a JSON line) read by libgps's own parser
// into *data and folded into *fix. A line that is not one well-formed JSON
// object of at most maxLine bytes, starting with its class, never reaches libgps (its parser loops
// for ever on some malformed lines) and leaves *fix alone: `other`.
Kind unpack(const std::string& message, gps_data_t* data, Fix* fix);
const std::size_t maxLine = 16384;

// unpack() with a gps_data_t of its own. The fuzz target and tests use it.
Kind foldMessage(const std::string& message, Fix* fix);

} // namespace GpsdReport

#endif
