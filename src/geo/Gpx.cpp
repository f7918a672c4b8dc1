#include "Gpx.h"

#include "SafeFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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

TrackPoint GpxData::point(std::size_t line, std::size_t i) const
{
    TrackPoint p;
    p.lon = lines[line][i].lon;
    p.lat = lines[line][i].lat;
    if (line < elevations.size() && i < elevations[line].size())
        p.elevation = elevations[line][i];
    if (line < times.size() && i < times[line].size())
        p.time = times[line][i];
    return p;
}

std::vector<TrackPoint> GpxData::pointsOf(std::size_t line) const
{
    std::vector<TrackPoint> out(lines[line].size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = point(line, i);
    return out;
}

namespace Gpx {

namespace {

const std::size_t noTrack = ~std::size_t(0);

struct Reader {
    XML_Parser parser;
    GpxData* out;
    bool tooDeep = false;
    bool textFull = false; // the text reached maxText: the rest is dropped
    std::vector<std::string> path; // element names, namespaces stripped
    std::string text;
    bool inWaypoint = false;
    bool inLinePoint = false; // a track or route point was added to the last line
    Keep keep = Keep::lines;
    std::size_t openTrack = noTrack; // the <trk> or <rte> being read
    std::vector<std::size_t> owners; // the track of each line
    std::size_t points = 0;
    std::size_t badPoints = 0;
    std::size_t dropped = 0;
};

std::string localName(const XML_Char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

// A number, spaces around it allowed; false for anything else or past 1e9.
bool number(const char* text, double* value)
{
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    while (end && (*end == ' ' || *end == '\n' || *end == '\t' || *end == '\r'))
        ++end;
    if (end == text || !end || *end != 0 || v != v || v > 1e9 || v < -1e9)
        return false;
    *value = v;
    return true;
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
    if (element == "trk" || element == "rte") {
        r.openTrack = r.out->tracks.size();
        r.out->tracks.emplace_back();
    }
    if (element == "trkseg" || element == "rte") {
        if (r.openTrack == noTrack) { // a segment outside any track is a track of its own
            r.out->tracks.emplace_back();
            r.owners.push_back(r.out->tracks.size() - 1);
        } else {
            r.owners.push_back(r.openTrack);
        }
        r.out->lines.emplace_back();
        r.inLinePoint = false;
        if (r.keep == Keep::figures) {
            r.out->elevations.emplace_back();
            r.out->times.emplace_back();
        }
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
        r.inLinePoint = true;
        if (r.keep == Keep::figures) {
            r.out->elevations.back().push_back(NAN);
            r.out->times.back().push_back(NAN);
        }
    }
}

// The <ele> or <time> of the track or route point being read.
void pointDetail(Reader& r, const std::string& element)
{
    double v;
    // Elevations no place on Earth has are taken as missing.
    if (element == "ele" && number(r.text.c_str(), &v) && v > -12000 && v < 9000)
        r.out->elevations.back().back() = static_cast<float>(v);
    else if (element == "time" && parseTime(r.text, &v))
        r.out->times.back().back() = v;
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
    } else if (element == "trkpt" || element == "rtept") {
        r.inLinePoint = false;
    } else if (element == "trk" || (element == "rte" && parent != "trk")) {
        r.openTrack = noTrack;
    } else if (r.inLinePoint && r.keep == Keep::figures && (parent == "trkpt" || parent == "rtept")) {
        pointDetail(r, element);
    }
    if (element == "name" && (parent == "trk" || parent == "rte") && r.openTrack != noTrack)
        r.out->tracks[r.openTrack].name = r.text;
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

// Lines without points (an empty segment, a route cut short) are dropped,
// and tracks left without lines; each track then names its lines.
void dropEmptyLines(Reader& r, std::size_t firstLine, std::size_t firstTrack)
{
    GpxData& d = *r.out;
    const bool details = r.keep == Keep::figures;
    std::size_t kept = firstLine;
    for (std::size_t t = firstTrack; t < d.tracks.size(); ++t)
        d.tracks[t].firstLine = d.tracks[t].endLine = 0;
    std::vector<bool> used(d.tracks.size(), false);
    for (std::size_t i = firstLine; i < d.lines.size(); ++i) {
        if (d.lines[i].empty())
            continue;
        GpxTrack& track = d.tracks[r.owners[i - firstLine]];
        if (!used[r.owners[i - firstLine]])
            track.firstLine = kept;
        used[r.owners[i - firstLine]] = true;
        track.endLine = kept + 1;
        if (kept != i) {
            d.lines[kept] = std::move(d.lines[i]);
            if (details) {
                d.elevations[kept] = std::move(d.elevations[i]);
                d.times[kept] = std::move(d.times[i]);
            }
        }
        ++kept;
    }
    d.lines.resize(kept);
    if (details) {
        d.elevations.resize(kept);
        d.times.resize(kept);
    }
    std::size_t keptTracks = firstTrack;
    for (std::size_t t = firstTrack; t < d.tracks.size(); ++t)
        if (used[t] && keptTracks++ != t)
            d.tracks[keptTracks - 1] = std::move(d.tracks[t]);
    d.tracks.resize(keptTracks);
}

} // namespace

bool parseTime(const std::string& text, double* seconds)
{
    int y, mo, d, h, mi, used = 0;
    double s;
    if (std::sscanf(text.c_str(), " %4d-%2d-%2dT%2d:%2d:%lf%n", &y, &mo, &d, &h, &mi, &s, &used) != 6)
        return false;
    if (y < 1970 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || !(s >= 0 && s < 61))
        return false;
    const char* rest = text.c_str() + used;
    int offset = 0;
    if (*rest == '+' || *rest == '-') {
        int oh, om;
        if (std::sscanf(rest + 1, "%2d:%2d", &oh, &om) != 2 || oh > 14 || om > 59)
            return false;
        offset = (*rest == '-' ? -1 : 1) * (oh * 3600 + om * 60);
    } else if (*rest != 'Z' && *rest != 0 && *rest != ' ' && *rest != '\n') {
        return false;
    }
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    *seconds = static_cast<double>(timegm(&t)) + s - offset;
    return true;
}

bool parse(const std::string& bytes, GpxData* out, std::string* problem, const std::atomic<bool>* stop, Keep keep)
{
    XML_Parser parser = XML_ParserCreateNS(nullptr, ':');
    if (!parser) {
        *problem = "out of memory";
        return false;
    }
    Reader reader;
    reader.parser = parser;
    reader.out = out;
    reader.keep = keep;
    const std::size_t firstLine = out->lines.size(), firstTrack = out->tracks.size();
    if (keep == Keep::figures) {
        out->elevations.resize(firstLine);
        out->times.resize(firstLine);
    }
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
    dropEmptyLines(reader, firstLine, firstTrack);
    if (whole && reader.badPoints)
        *problem = std::to_string(reader.badPoints) + " points without valid coordinates skipped";
    if (whole && reader.dropped)
        *problem = "more than " + std::to_string(maxPoints) + " points: the rest skipped";
    return whole && !reader.badPoints && !reader.dropped;
}

bool read(const std::string& path, GpxData* out, std::string* problem, const std::atomic<bool>* stop, Keep keep)
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
    return parse(bytes, out, problem, stop, keep);
}

} // namespace Gpx
