#include "AreaCommands.h"

#include "ToolCommand.h"
#include "Download.h"
#include "Extract.h"
#include "ProgressBar.h"
#include "Version.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace AreaCommands {

const char* const extractUsage =
    "extract SOURCE OUTPUT --bbox W,S,E,N [--zoom-min Z] [--zoom-max Z] [--format pmtiles|mbtiles]";
const char* const extractHelp =
    "Cuts an area out of an archive: SOURCE is a .pmtiles or .mbtiles file, or the http:// or https://\n"
    "address of a PMTiles archive, read by range requests (only the directories and tiles needed).\n"
    "Every tile of the levels whose extent meets the box is copied as stored, raster or vector, into\n"
    "OUTPUT (.pmtiles or .mbtiles by its name); metadata is kept, bounds, centre and levels are the\n"
    "extract's. OUTPUT appears only once complete.\n"
    "  --bbox W,S,E,N        the area in degrees (W > E crosses the date line)\n"
    "  --zoom-min Z, --zoom-max Z   the levels to take (default: all of the source's)\n"
    "  --format KIND         pmtiles or mbtiles, whatever OUTPUT's name";
const char* const downloadUsage = "download URL-TEMPLATE OUTPUT --bbox W,S,E,N --zoom-min Z --zoom-max Z [options]";
const char* const downloadHelp =
    "Fetches the tiles of an area from a tile server into an MBTiles file. URL-TEMPLATE holds {z}, {x}\n"
    "and {y} ({-y}: rows from the south). Only download from servers whose terms allow it: many\n"
    "public tile servers forbid bulk downloading. Requests name Tessel, go one at a time, at most 2\n"
    "a second (--rate), and wait when the server asks (429, 503, Retry-After). Missing tiles (404)\n"
    "are left out; pictures and vector tiles are taken, other answers are named and asked for again by\n"
    "the next run. The file is OUTPUT.part until every tile was asked for and one at least stored;\n"
    "running the same command again continues, fetching only what is missing.\n"
    "  --bbox W,S,E,N        the area in degrees (W > E crosses the date line)\n"
    "  --zoom-min Z, --zoom-max Z   the levels to fetch\n"
    "  --rate N              requests a second (default 2, at most 20)\n"
    "  --attribution TEXT    the credits the server's terms ask for, kept in the metadata\n"
    "  --name TEXT           the map's name (default: the server's)\n"
    "  --yes                 fetch more than 2000 tiles without asking";

namespace {

using ToolCommand::failure;

bool level(Options& o, const char* key, int* value)
{
    char* end = nullptr;
    const long n = std::strtol(o[key].c_str(), &end, 10);
    if (o[key].empty() || *end != '\0' || n < 0 || n > 30)
        return false;
    *value = static_cast<int>(n);
    return true;
}

// --bbox and the levels, into *box, *from, *to; a message when wrong.
std::string area(Options& o, bool levelsRequired, AreaBox* box, int* from, int* to)
{
    std::string error;
    if (!o.count("--bbox"))
        return "--bbox W,S,E,N is required";
    if (!AreaBox::parse(o["--bbox"], box, &error))
        return error;
    if (levelsRequired && (!o.count("--zoom-min") || !o.count("--zoom-max")))
        return "--zoom-min and --zoom-max are required";
    for (auto key : {std::make_pair("--zoom-min", from), std::make_pair("--zoom-max", to)})
        if (o.count(key.first) && !level(o, key.first, key.second))
            return std::string(key.first) + " takes a zoom level from 0 to 30";
    if (*from >= 0 && *to >= 0 && *from > *to)
        return "--zoom-min is above --zoom-max";
    return std::string();
}

HttpClient::Settings httpSettings()
{
    HttpClient::Settings s;
    s.userAgent = std::string("Tessel/") + Version::number + " (offline map viewer; tessel-pack)";
    return s;
}

bool confirmOnTerminal(std::uint64_t tiles)
{
    if (!isatty(0)) {
        std::cerr << "tessel-pack: the area holds " << tiles << " tiles; add --yes to fetch them\n";
        return false;
    }
    std::cerr << "The area holds " << tiles << " tiles. Does the server's policy allow fetching them? [y/N] ";
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}

} // namespace

int extract(const std::vector<std::string>& args, Options& o, bool (*interrupted)())
{
    Extract::Options options;
    const std::string wrong = area(o, false, &options.box, &options.zoomMin, &options.zoomMax);
    if (!wrong.empty())
        return failure(wrong, 2);
    options.format = o["--format"];
    if (!options.format.empty() && options.format != "pmtiles" && options.format != "mbtiles")
        return failure("--format takes pmtiles or mbtiles", 2);
    HttpClient client(httpSettings());
    client.interrupted = interrupted;
    Fetcher fetcher(client, *Clock::system(), 20);
    fetcher.interrupted = interrupted;
    fetcher.note = [](const std::string& text) { std::cerr << "\ntessel-pack: " << text << "\n"; };
    options.fetcher = &fetcher;
    options.interrupted = interrupted;
    options.progress = progressBar("extracting");
    std::uint64_t tiles = 0;
    std::string error;
    const bool ok = Extract::run(args[0], args[1], options, &tiles, &error);
    endProgress();
    if (!ok)
        return interrupted() ? 130 : failure(error);
    std::cout << "wrote " << args[1] << ": " << tiles << " tiles";
    if (Extract::isAddress(args[0]))
        std::cout << ", " << client.requests << " requests, " << client.bytesReceived << " bytes read";
    std::cout << "\n";
    return 0;
}

int download(const std::vector<std::string>& args, Options& o, bool (*interrupted)())
{
    Download::Options options;
    options.zoomMin = options.zoomMax = -1;
    const std::string wrong = area(o, true, &options.box, &options.zoomMin, &options.zoomMax);
    if (!wrong.empty())
        return failure(wrong, 2);
    double rate = 2;
    if (o.count("--rate")) {
        char* end = nullptr;
        rate = std::strtod(o["--rate"].c_str(), &end);
        if (o["--rate"].empty() || *end != '\0' || !(rate > 0 && rate <= 20))
            return failure("--rate takes requests a second, above 0 and at most 20", 2);
    }
    options.attribution = o["--attribution"];
    options.name = o["--name"];
    const bool yes = o.count("--yes") > 0;
    options.confirm = [yes](std::uint64_t tiles) { return yes || confirmOnTerminal(tiles); };
    options.interrupted = interrupted;
    options.progress = progressBar("downloading");
    options.warn = [](const std::string& kind, const std::string& text) {
        std::cerr << "\ntessel-pack: " << kind << ": " << text << "\n";
    };
    HttpClient client(httpSettings());
    client.interrupted = interrupted;
    Fetcher fetcher(client, *Clock::system(), rate);
    fetcher.interrupted = interrupted;
    fetcher.note = [](const std::string& text) { std::cerr << "\ntessel-pack: " << text << "\n"; };
    Download::Report report;
    std::string error;
    const bool ok = Download::run(fetcher, args[0], args[1], options, &report, &error);
    endProgress();
    std::cout << report.fetched << " tiles fetched, " << report.known << " already there, " << report.absent
              << " absent, " << report.undecodable << " undecodable\n";
    if (!ok) {
        const bool stopped = interrupted();
        failure(error);
        return stopped ? 130 : 1;
    }
    std::cout << "wrote " << args[1] << "\n";
    if (report.undecodable > 0)
        std::cerr << "tessel-pack: " << report.undecodable
                  << " tiles did not decode; the same command asks for them again\n";
    return 0;
}

} // namespace AreaCommands
