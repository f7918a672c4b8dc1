#include "RouteCommands.h"

#include "ConfParser.h"
#include "PlanetSplitter.h"
#include "RouteDataCheck.h"
#include "RouteDatabase.h"
#include "RouteFolders.h"
#include "RouteGpx.h"
#include "RouteOutput.h"
#include "RouteStamp.h"
#include "Router.h"
#include "RoutesOutput.h"
#include "SafeFile.h"
#include "ToolCommand.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace RouteCommands {

using ToolCommand::failure;

const char* const routesUsage = "routes AREA.osm.pbf OUTPUT";
const char* const routesHelp =
    "Makes routing data from an OpenStreetMap PBF extract with Debian's planetsplitter (package routino)\n"
    "and its shipped tagging rules, into the folder OUTPUT. Put it in maps/ with a name ending in .routes\n"
    "(maps/andorra.routes): the viewer finds it there. Nothing is left under OUTPUT unless complete; routing\n"
    "data already there is replaced.";
const char* const routeUsage =
    "route DATA --from LAT,LON --to LAT,LON [--profile foot|bicycle|car] [--shortest] [--json] [--gpx FILE]";
const char* const routeHelp =
    "Computes a route as the viewer does and prints its distance, time and turns. DATA is a routing folder\n"
    "or a maps folder holding several (*.routes: the one covering both ends is used).\n"
    "  --profile NAME        foot, bicycle or car (default car)\n"
    "  --shortest            the shortest route (default: the quickest)\n"
    "  --json                print the route as JSON (totals, turns and the line)\n"
    "  --gpx FILE            also write it as GPX 1.1 (a route of the turns and a track)\n"
    "  --language NAME       the language of the turn texts: english, czech, german (default english)\n"
    "  --profiles FILE       the routing profiles (default: the routino package's)";

int routes(const std::vector<std::string>& args, std::map<std::string, std::string>&,
           const std::function<bool()>& interrupted)
{
    std::string why;
    if (!PlanetSplitter::looksLikePbf(args[0], &why))
        return failure(why);
    RoutesOutput output(args[1]);
    if (!output.create(&why))
        return failure(why);
    const bool terminal = isatty(2);
    const auto status = [terminal](const std::string& line) {
        if (terminal)
            std::fprintf(stderr, "\r\033[K%.78s", line.c_str());
    };
    const bool made = PlanetSplitter::run(args[0], output.path(), status, interrupted, &why);
    if (terminal)
        std::fprintf(stderr, "\r\033[K");
    if (!made)
        return interrupted() ? 130 : failure(why);
    RouteArea area;
    if (!RouteDataCheck::checkFolder(output.path(), &area, &why))
        return failure(args[0] + ": no usable routing data came of it (" + why + ")");
    if (!RouteStamp::current(area).write(output.path()))
        return failure("cannot write " + output.path() + "/" + RouteStamp::fileName);
    if (!output.keep(&why))
        return failure(why);
    std::printf("wrote %s (%.4f,%.4f to %.4f,%.4f)\n", args[1].c_str(), area.south, area.west, area.north, area.east);
    return 0;
}

namespace {

bool point(const std::string& text, double* lat, double* lon)
{
    char* end = nullptr;
    *lat = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != ',')
        return false;
    const char* rest = end + 1;
    *lon = std::strtod(rest, &end);
    return end != rest && *end == '\0' && *lat >= -90 && *lat <= 90 && *lon >= -180 && *lon <= 180;
}

// DATA itself when it holds routing files, else the folder in it covering both ends.
std::string chooseData(const std::string& data, double fromLat, double fromLon, double toLat, double toLon,
                       std::string* why)
{
    if (SafeFile::present(data + "/" + RouteDataCheck::fileNames[0]))
        return data;
    if (!SafeFile::isDirectory(data)) {
        *why = data + ": not a folder";
        return {};
    }
    RouteFolders folders;
    folders.scan(data);
    const std::string dir = folders.covering(fromLat, fromLon, toLat, toLon);
    if (dir.empty())
        *why = folders.entries.empty() ? data + ": holds no routing data (make it with tessel-pack routes)"
                                       : "no routing data in " + data + " covers both the start and the destination";
    return dir;
}

} // namespace

int route(const std::vector<std::string>& args, std::map<std::string, std::string>& o, const std::string& langDir)
{
    double fromLat, fromLon, toLat, toLon;
    if (!o.count("--from") || !point(o["--from"], &fromLat, &fromLon))
        return failure("--from takes LAT,LON in degrees");
    if (!o.count("--to") || !point(o["--to"], &toLat, &toLon))
        return failure("--to takes LAT,LON in degrees");
    RouteProfile profile;
    if (o.count("--profile") && !RouteProfile::parse(o["--profile"], &profile.transport))
        return failure("--profile takes foot, bicycle or car");
    profile.shortest = o.count("--shortest") > 0;
    const std::string language = o.count("--language") ? o["--language"] : "english";
    const std::string langFile = langDir + "/" + language + ".conf";
    if (language.find('/') != std::string::npos || !SafeFile::present(langFile))
        return failure("--language: no language file " + langFile);
    const ConfParser lang(langFile, 0);
    const TurnText::Texts texts = [&lang](const std::string& id) {
        std::string text;
        return lang.value(id, &text) && !text.empty() ? text : "lng{" + id + "}";
    };
    std::string why;
    const std::string dir = chooseData(args[0], fromLat, fromLon, toLat, toLon, &why);
    if (dir.empty())
        return failure(why);
    std::unique_ptr<RouteDatabase> db = RouteDatabase::open(dir, &why);
    if (!db)
        return failure(why);
    Router router;
    if (o.count("--profiles"))
        router.profilesFile = o["--profiles"];
    Route found;
    if (router.compute(*db, profile, fromLat, fromLon, toLat, toLon, &found, &why) != Router::found)
        return failure(why);
    if (o.count("--gpx") &&
        !RouteGpx::save(o["--gpx"], RouteGpx::text(found, texts, RouteOutput::title(texts, found, profile)), &why))
        return failure(why);
    std::cout << (o.count("--json") ? RouteOutput::json(texts, found, profile)
                                    : RouteOutput::plain(texts, found, profile));
    return 0;
}

} // namespace RouteCommands
