#include "Gpx.h"

#include "SafeFile.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <expat.h>
#include <unistd.h>
#include <sys/stat.h>

std::size_t GpxData::points() const
{
    std::size_t n = waypoints.size();
    for (const auto& line : lines)
        n += line.size();
    return n;
}

namespace Gpx {

namespace {

struct Reader {
    XML_Parser parser;
    GpxData* out;
    bool tooDeep = false;
    bool textFull = false; // the text reached maxText: the rest is dropped
    std::vector<std::string> path; // element names, namespaces stripped
    std::string text;
    bool inWaypoint = false;
    std::size_t points = 0;
    std::size_t badPoints = 0;
    std::size_t dropped = 0;
};

std::string localName(const XML_Char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

// The lat and lon attributes, when both are numbers in range.
bool coordinates(const XML_Char** attributes, LonLat* at)
{
    bool hasLat = false, hasLon = false;
    for (int i = 0; attributes[i]; i += 2) {
        const std::string key = attributes[i];
        char* end = nullptr;
        const double value = std::strtod(attributes[i + 1], &end);
        const bool number = end != attributes[i + 1] && *end == 0;
        if (key == "lat" && number && value >= -90 && value <= 90) {
            at->lat = value;
            hasLat = true;
        } else if (key == "lon" && number && value >= -180 && value <= 180) {
            at->lon = value;
            hasLon = true;
        }
    }
    return hasLat && hasLon;
}

void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes)
{
    Reader& r = *static_cast<Reader*>(data);
    if (r.path.size() >= maxDepth) {
        r.tooDeep = true;
        XML_StopParser(r.parser, XML_FALSE);
        return;
    }
    const std::string element = localName(name);
    r.path.push_back(element);
    r.text.clear();
    r.textFull = false;
    if (element == "trkseg" || element == "rte") {
        r.out->lines.emplace_back();
        return;
    }
    const bool point = element == "trkpt" || element == "rtept" || element == "wpt";
    if (!point)
        return;
    LonLat at;
    if (!coordinates(attributes, &at)) {
        ++r.badPoints;
        return;
    }
    if (r.points >= maxPoints) {
        ++r.dropped;
        return;
    }
    ++r.points;
    if (element == "wpt") {
        r.out->waypoints.push_back(Waypoint{at, std::string()});
        r.inWaypoint = true;
    } else if (!r.out->lines.empty()) {
        r.out->lines.back().push_back(at);
    }
}

void XMLCALL end(void* data, const XML_Char*)
{
    Reader& r = *static_cast<Reader*>(data);
    if (r.path.empty())
        return;
    const std::string element = r.path.back();
    r.path.pop_back();
    const std::string parent = r.path.empty() ? std::string() : r.path.back();
    if (element == "name") {
        if (parent == "wpt" && r.inWaypoint)
            r.out->waypoints.back().name = r.text;
        else if ((parent == "metadata" || parent == "gpx") && r.out->name.empty())
            r.out->name = r.text;
    } else if (element == "wpt") {
        r.inWaypoint = false;
    }
    r.text.clear();
    r.textFull = false;
}

void XMLCALL characters(void* data, const XML_Char* s, int len)
{
    Reader& r = *static_cast<Reader*>(data);
    if (r.textFull)
        return;
    r.text.append(s, std::min(static_cast<std::size_t>(len), maxText - r.text.size()));
    r.textFull = r.text.size() == maxText;
    if (r.textFull) {
        // Cut at a character's start: a UTF-8 sequence is not split.
        std::size_t end = r.text.size();
        while (end > 0 && (static_cast<unsigned char>(r.text[end - 1]) & 0xC0) == 0x80)
            --end;
        if (end > 0 && (static_cast<unsigned char>(r.text[end - 1]) & 0xC0) == 0xC0)
            r.text.resize(end - 1);
    }
}

} // namespace

bool parse(const std::string& bytes, GpxData* out, std::string* problem, const std::atomic<bool>* stop)
{
    XML_Parser parser = XML_ParserCreateNS(nullptr, ':');
    if (!parser) {
        *problem = "out of memory";
        return false;
    }
    Reader reader;
    reader.parser = parser;
    reader.out = out;
    XML_SetUserData(parser, &reader);
    XML_SetElementHandler(parser, start, end);
    XML_SetCharacterDataHandler(parser, characters);
    // In blocks, so that a reader told to stop stops soon.
    const std::size_t block = 1u << 20;
    bool parsed = true, stopped = false;
    for (std::size_t at = 0; parsed && !stopped;) {
        const std::size_t n = std::min(block, bytes.size() - at);
        const bool last = at + n == bytes.size();
        parsed = XML_Parse(parser, bytes.data() + at, static_cast<int>(n), last) == XML_STATUS_OK;
        at += n;
        if (last)
            break;
        stopped = stop && *stop;
    }
    const bool whole = parsed && !reader.tooDeep && !stopped;
    if (stopped)
        *problem = "reading stopped";
    else if (reader.tooDeep)
        *problem = "elements nested deeper than " + std::to_string(maxDepth) + " at line " +
                   std::to_string(XML_GetCurrentLineNumber(parser)) + ": the rest skipped";
    else if (!whole)
        *problem = std::string("damaged at line ") + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                   XML_ErrorString(XML_GetErrorCode(parser));
    XML_ParserFree(parser);
    // Lines without points (an empty segment, a route cut short) are dropped.
    auto& lines = out->lines;
    for (std::size_t i = lines.size(); i-- > 0;)
        if (lines[i].empty())
            lines.erase(lines.begin() + static_cast<long>(i));
    if (whole && reader.badPoints)
        *problem = std::to_string(reader.badPoints) + " points without valid coordinates skipped";
    if (whole && reader.dropped)
        *problem = "more than " + std::to_string(maxPoints) + " points: the rest skipped";
    return whole && !reader.badPoints && !reader.dropped;
}

bool read(const std::string& path, GpxData* out, std::string* problem, const std::atomic<bool>* stop)
{
    // Through the guarded door: a FIFO or device is refused, not waited on.
    const int fd = SafeFile::openRegular(path);
    struct stat info;
    const bool regular = fd >= 0 && fstat(fd, &info) == 0;
    if (fd >= 0)
        close(fd);
    if (!regular) {
        *problem = "not a readable file";
        return false;
    }
    if (static_cast<std::size_t>(info.st_size) > maxBytes) {
        *problem = "larger than " + std::to_string(maxBytes >> 20) + " MB";
        return false;
    }
    std::string bytes;
    if (!SafeFile::readRegular(path, maxBytes, &bytes)) {
        *problem = "cannot be read";
        return false;
    }
    return parse(bytes, out, problem, stop);
}

} // namespace Gpx
