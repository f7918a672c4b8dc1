#include "RecordingText.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace RecordingText {

const char* const segmentBreak = "</trkseg>\n<trkseg>\n";
const char* const closing = "</trkseg>\n</trk>\n</gpx>\n";

namespace {

const char* const pointEnd = "</trkpt>\n";

bool utc(double time, std::tm* out)
{
    if (!std::isfinite(time) || time < 0 || time > 253402300799.0)
        return false;
    const std::time_t whole = static_cast<std::time_t>(time);
    return gmtime_r(&whole, out) != nullptr;
}

} // namespace

std::string fileName(double time)
{
    std::tm at{};
    if (!utc(time, &at))
        return "recorded.gpx";
    char text[64];
    std::strftime(text, sizeof text, "recorded-%Y%m%d-%H%M%S.gpx", &at);
    return text;
}

std::string header()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<gpx version=\"1.1\" creator=\"Tessel\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
           "<trk>\n<trkseg>\n";
}

std::string timeText(double time)
{
    std::tm at{};
    if (!std::isfinite(time))
        return std::string();
    // Rounded to the millisecond first, so 39.9996 s says 40 s.
    const double millisSince = std::round(time * 1000);
    const double whole = std::floor(millisSince / 1000);
    const int millis = static_cast<int>(millisSince - whole * 1000);
    if (!utc(whole, &at))
        return std::string();
    char text[64];
    std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &at);
    if (millis > 0)
        length += static_cast<std::size_t>(std::snprintf(text + length, sizeof text - length, ".%03d", millis));
    return std::string(text, length) + "Z";
}

std::string point(const Fix& fix)
{
    char text[256];
    int length = std::snprintf(text, sizeof text, "<trkpt lat=\"%.7f\" lon=\"%.7f\">", fix.lat, fix.lon);
    if (std::isfinite(fix.ele))
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), "<ele>%.1f</ele>",
                                fix.ele);
    std::string line(text, static_cast<std::size_t>(length));
    const std::string time = timeText(fix.time);
    if (!time.empty())
        line += "<time>" + time + "</time>";
    return line + pointEnd;
}

std::size_t wholeLength(const std::string& text)
{
    const std::string start = header();
    if (text.compare(0, start.size(), start) != 0)
        return 0;
    // Only what comes before a stray zero byte (a block the disk never got)
    // counts.
    const std::size_t zero = text.find('\0');
    const std::size_t last = text.rfind(pointEnd, zero == std::string::npos ? std::string::npos : zero);
    if (last == std::string::npos || last < start.size())
        return 0;
    return last + std::strlen(pointEnd);
}

bool closed(const std::string& text)
{
    const std::size_t length = std::strlen(closing);
    return text.size() >= length && text.compare(text.size() - length, length, closing) == 0;
}

} // namespace RecordingText
