// Fuzz target for what gpsd sends: JSON lines through libgps into fixes,
// and fixes into the recording's text, which must read back as the fix.
#include "GpsdReport.h"
#include "Gpx.h"
#include "RecordingText.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

bool absentOrWithin(double value, double low, double high)
{
    return std::isnan(value) || (value >= low && value <= high);
}

void check(const Fix& fix)
{
    if (!absentOrWithin(fix.ele, -12000, 100000) || !absentOrWithin(fix.accuracy, 0, 1e7) ||
        !absentOrWithin(fix.course, 0, 360) || !absentOrWithin(fix.speed, 0, 1e5) ||
        !absentOrWithin(fix.time, 0, 253402300800.0) || fix.satellites < -1)
        __builtin_trap();
    if (!fix.hasPosition())
        return;
    const std::string text =
        RecordingText::header() + RecordingText::point(fix) + RecordingText::closing;
    GpxData data;
    std::string problem;
    if (!Gpx::parse(text, &data, &problem) || data.points() != 1 ||
        std::fabs(data.lines[0][0].lat - fix.lat) > 1e-6 || std::fabs(data.lines[0][0].lon - fix.lon) > 1e-6)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Fix fix;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        GpsdReport::foldMessage(bytes.substr(start, end - start), &fix);
        check(fix);
        start = end + 1;
    }
    return 0;
}
