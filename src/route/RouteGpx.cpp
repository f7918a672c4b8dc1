#include "RouteGpx.h"

#include "SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace RouteGpx {

namespace {

std::string escaped(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out += c;
        }
    }
    return out;
}

std::string at(const char* tag, const RoutePoint& p)
{
    char text[96];
    std::snprintf(text, sizeof text, "<%s lat=\"%.7f\" lon=\"%.7f\">", tag, p.lat, p.lon);
    return text;
}

} // namespace

std::string text(const Route& route, const TurnText::Texts& texts, const std::string& name)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<gpx version=\"1.1\" creator=\"Tessel\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    out += "<metadata><name>" + escaped(name) + "</name><desc>" +
           escaped(TurnText::distance(texts, route.metres()) + ", " + TurnText::duration(texts, route.seconds())) +
           "</desc></metadata>\n<rte><name>" + escaped(name) + "</name>\n";
    for (std::size_t i = 0; i < route.turns.size(); ++i)
        out += at("rtept", route.points[route.turns[i].point]) + "<name>" +
               escaped(TurnText::describe(texts, route, i)) + "</name></rtept>\n";
    out += "</rte>\n<trk><name>" + escaped(name) + "</name><trkseg>\n";
    for (const RoutePoint& p : route.points)
        out += at("trkpt", p) + "</trkpt>\n";
    out += "</trkseg></trk>\n</gpx>\n";
    return out;
}

bool save(const std::string& path, const std::string& text, std::string* why)
{
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string hidden = dir + "." + path.substr(dir.size()) + ".part";
    if (!SafeFile::writeDurably(hidden, text)) {
        *why = path + ": cannot be written (" + std::strerror(errno) + ")";
        return false;
    }
    if (std::rename(hidden.c_str(), path.c_str()) != 0) {
        *why = path + ": cannot be written (" + std::strerror(errno) + ")";
        unlink(hidden.c_str());
        return false;
    }
    SafeFile::syncDirectoryOf(path);
    return true;
}

} // namespace RouteGpx
