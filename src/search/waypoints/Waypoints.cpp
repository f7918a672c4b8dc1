#include "Waypoints.h"

#include "Folding.h"
#include "Geodesy.h"
#include "SafeFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <expat.h>
#include <unistd.h>

namespace {

const std::size_t maxFileBytes = 8u << 20;

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

struct Reading {
    Waypoints* points = nullptr;
    bool inWpt = false, inName = false, full = false;
    Waypoints::Waypoint current;
    bool placed = false;
};

bool number(const char* text, double* out)
{
    char* end = nullptr;
    *out = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(*out);
}

void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes)
{
    Reading* r = static_cast<Reading*>(data);
    if (std::strcmp(name, "wpt") == 0) {
        r->inWpt = true;
        r->current = Waypoints::Waypoint();
        bool lat = false, lon = false;
        for (int i = 0; attributes[i] && attributes[i + 1]; i += 2) {
            if (std::strcmp(attributes[i], "lat") == 0)
                lat = number(attributes[i + 1], &r->current.lat);
            else if (std::strcmp(attributes[i], "lon") == 0)
                lon = number(attributes[i + 1], &r->current.lon);
        }
        r->placed = lat && lon;
    } else if (r->inWpt && std::strcmp(name, "name") == 0) {
        r->inName = true;
    }
}

void XMLCALL end(void* data, const XML_Char* name)
{
    Reading* r = static_cast<Reading*>(data);
    if (std::strcmp(name, "name") == 0) {
        r->inName = false;
    } else if (std::strcmp(name, "wpt") == 0 && r->inWpt) {
        r->inWpt = false;
        if (r->placed && r->points->list.size() < Waypoints::maxWaypoints) {
            const std::string name = r->current.name;
            r->points->add(name.empty() ? r->points->nextName() : name, r->current.lat, r->current.lon);
        } else if (r->placed) {
            r->full = true;
        }
    }
}

void XMLCALL characters(void* data, const XML_Char* text, int length)
{
    Reading* r = static_cast<Reading*>(data);
    if (r->inName && r->current.name.size() < 4 * Waypoints::maxNameBytes)
        r->current.name.append(text, static_cast<std::size_t>(length));
}

} // namespace

bool Waypoints::add(const std::string& name, double lat, double lon)
{
    const std::string clean = Folding::clean(name, maxNameBytes);
    if (clean.empty() || !(std::fabs(lat) <= 90 && std::fabs(lon) <= 180) || list.size() >= maxWaypoints)
        return false;
    list.push_back({clean, lat, lon});
    return true;
}

std::string Waypoints::nextName() const
{
    for (std::size_t n = 1;; ++n) {
        const std::string name = "Waypoint " + std::to_string(n);
        if (std::none_of(list.begin(), list.end(), [&](const Waypoint& w) { return w.name == name; }))
            return name;
    }
}

std::vector<std::size_t> Waypoints::nearest(double lat, double lon) const
{
    std::vector<std::pair<double, std::size_t>> order;
    for (std::size_t i = 0; i < list.size(); ++i)
        order.emplace_back(Geodesy::distance(lat, lon, list[i].lat, list[i].lon), i);
    std::stable_sort(order.begin(), order.end(),
                     [](const std::pair<double, std::size_t>& a, const std::pair<double, std::size_t>& b) {
                         return a.first < b.first;
                     });
    std::vector<std::size_t> out;
    for (const auto& o : order)
        out.push_back(o.second);
    return out;
}

std::string Waypoints::text() const
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<gpx version=\"1.1\" creator=\"Tessel\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    for (const Waypoint& w : list) {
        char at[96];
        std::snprintf(at, sizeof at, "  <wpt lat=\"%.7f\" lon=\"%.7f\">", w.lat, w.lon);
        out += std::string(at) + "<name>" + escaped(w.name) + "</name></wpt>\n";
    }
    return out + "</gpx>\n";
}

bool Waypoints::parse(const std::string& gpx, std::string* why)
{
    list.clear();
    Reading reading;
    reading.points = this;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &reading);
    XML_SetElementHandler(parser, start, end);
    XML_SetCharacterDataHandler(parser, characters);
    const bool ok = XML_Parse(parser, gpx.data(), static_cast<int>(gpx.size()), 1) == XML_STATUS_OK;
    if (!ok)
        *why = std::string("not a readable GPX file (") + XML_ErrorString(XML_GetErrorCode(parser)) + " at line " +
               std::to_string(XML_GetCurrentLineNumber(parser)) + ")";
    else if (reading.full)
        *why = "more than " + std::to_string(maxWaypoints) + " waypoints: the rest are left out";
    XML_ParserFree(parser);
    return ok && !reading.full;
}

bool Waypoints::load(const std::string& path, std::string* why)
{
    list.clear();
    if (!SafeFile::present(path))
        return true;
    std::string bytes;
    if (!SafeFile::readRegular(path, maxFileBytes, &bytes)) {
        *why = path + ": not a readable file of at most 8 MiB";
        return false;
    }
    if (!parse(bytes, why)) {
        *why = path + ": " + *why;
        return false;
    }
    return true;
}

bool Waypoints::save(const std::string& path, std::string* why) const
{
    const std::string temporary = path + ".new", backup = path + "~";
    *why = path + ": cannot be written";
    if (!SafeFile::writeDurably(temporary, text()))
        return false;
    if (SafeFile::present(path)) {
        unlink(backup.c_str());
        if (link(path.c_str(), backup.c_str()) != 0 && !SafeFile::copyDurably(path, backup)) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    SafeFile::syncDirectoryOf(path);
    why->clear();
    return true;
}
