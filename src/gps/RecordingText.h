#ifndef TESSEL_RECORDINGTEXT_H
#define TESSEL_RECORDINGTEXT_H

#include "Fix.h"

#include <string>

// The text of a recorded track, GPX 1.1: a header, one line per point, a
// line between segments and the closing tags. Every point line ends in
// "</trkpt>\n", so a file cut anywhere is whole again when cut back to the
// last such line and closed (repair()).
namespace RecordingText {

// "recorded-20261207-181039.gpx" for a UTC time in seconds since 1970.
std::string fileName(double time);
std::string header();
// A point with its elevation and time when the fix has them; the fix must
// have a position.
std::string point(const Fix& fix);
extern const char* const segmentBreak;
extern const char* const closing;
// "2026-12-07T18:10:39Z", with milliseconds when there are any.
std::string timeText(double time);

// The length of `text` up to and with its last whole point line, when the
// text starts as a recording does and has at least one point line before
// any stray byte; 0 otherwise.
std::size_t wholeLength(const std::string& text);
// True when `text` ends with the closing tags.
bool closed(const std::string& text);

} // namespace RecordingText

#endif
