#include "TrackLog.h"

#include "Gpx.h"
#include "SafeFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <expat.h>

std::size_t TrackLog::points() const
{
    std::size_t n = 0;
    for (const auto& s : segments)
        n += s.size();
    return n;
}

namespace {

struct Reader {
    XML_Parser parser;
    std::vector<TrackLog>* out;
    std::vector<std::string> path;
    std::string text;
    bool inPoint = false, tooDeep = false;
    std::size_t points = 0, badPoints = 0, dropped = 0;
};

std::string localName(const XML_Char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

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

bool coordinates(const XML_Char** attributes, TrackPoint* p)
{
    bool lat = false, lon = false;
    for (int i = 0; attributes[i]; i += 2) {
        double v;
        if (!number(attributes[i + 1], &v))
            continue;
        if (std::strcmp(attributes[i], "lat") == 0 && v >= -90 && v <= 90) {
            p->lat = v;
            lat = true;
        } else if (std::strcmp(attributes[i], "lon") == 0 && v >= -180 && v <= 180) {
            p->lon = v;
            lon = true;
        }
    }
    return lat && lon;
}

void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes)
{
    Reader& r = *static_cast<Reader*>(data);
    if (r.path.size() >= Gpx::maxDepth) {
        r.tooDeep = true;
        XML_StopParser(r.parser, XML_FALSE);
        return;
    }
    const std::string element = localName(name);
    r.path.push_back(element);
    r.text.clear();
    if (element == "trk" || element == "rte")
        r.out->emplace_back();
    if ((element == "trkseg" || element == "rte") && !r.out->empty())
        r.out->back().segments.emplace_back();
    if (element != "trkpt" && element != "rtept")
        return;
    TrackPoint p;
    if (r.out->empty() || r.out->back().segments.empty() || !coordinates(attributes, &p)) {
        ++r.badPoints;
        return;
    }
    if (r.points >= Gpx::maxPoints) {
        ++r.dropped;
        return;
    }
    ++r.points;
    r.out->back().segments.back().push_back(p);
    r.inPoint = true;
}

void XMLCALL end(void* data, const XML_Char*)
{
    Reader& r = *static_cast<Reader*>(data);
    if (r.path.empty())
        return;
    const std::string element = r.path.back();
    r.path.pop_back();
    const std::string parent = r.path.empty() ? std::string() : r.path.back();
    if (element == "trkpt" || element == "rtept") {
        r.inPoint = false;
    } else if (r.inPoint && (parent == "trkpt" || parent == "rtept")) {
        TrackPoint& p = r.out->back().segments.back().back();
        double v;
        // Elevations no place on Earth has are taken as missing.
        if (element == "ele" && number(r.text.c_str(), &v) && v > -12000 && v < 9000)
            p.elevation = v;
        else if (element == "time" && TrackLog::parseTime(r.text, &v))
            p.time = v;
    } else if (element == "name" && (parent == "trk" || parent == "rte") && !r.out->empty()) {
        r.out->back().name = r.text;
    }
    r.text.clear();
}

void XMLCALL characters(void* data, const XML_Char* s, int len)
{
    Reader& r = *static_cast<Reader*>(data);
    if (r.text.size() < Gpx::maxText)
        r.text.append(s, std::min(static_cast<std::size_t>(len), Gpx::maxText - r.text.size()));
}

} // namespace

bool TrackLog::parseTime(const std::string& text, double* seconds)
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

bool TrackLog::parse(const std::string& bytes, std::vector<TrackLog>* out, std::string* problem)
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
    const std::size_t size = std::min(bytes.size(), Gpx::maxBytes);
    const bool parsed = XML_Parse(parser, bytes.data(), static_cast<int>(size), true) == XML_STATUS_OK;
    const bool whole = parsed && !reader.tooDeep && size == bytes.size();
    if (reader.tooDeep)
        *problem = "elements nested deeper than " + std::to_string(Gpx::maxDepth) + ": the rest skipped";
    else if (size != bytes.size())
        *problem = "larger than " + std::to_string(Gpx::maxBytes >> 20) + " MB: the rest skipped";
    else if (!parsed)
        *problem = "damaged at line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                   XML_ErrorString(XML_GetErrorCode(parser));
    XML_ParserFree(parser);
    for (TrackLog& t : *out)
        for (std::size_t i = t.segments.size(); i-- > 0;)
            if (t.segments[i].empty())
                t.segments.erase(t.segments.begin() + static_cast<long>(i));
    if (whole && reader.badPoints)
        *problem = std::to_string(reader.badPoints) + " points without valid coordinates skipped";
    if (whole && reader.dropped)
        *problem = "more than " + std::to_string(Gpx::maxPoints) + " points: the rest skipped";
    return whole && !reader.badPoints && !reader.dropped;
}

bool TrackLog::read(const std::string& path, std::vector<TrackLog>* out, std::string* problem)
{
    std::string bytes;
    if (!SafeFile::readRegular(path, Gpx::maxBytes, &bytes)) {
        *problem = "not a readable file of at most " + std::to_string(Gpx::maxBytes >> 20) + " MB";
        return false;
    }
    return parse(bytes, out, problem);
}
