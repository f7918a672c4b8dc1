#include "TerrainCommands.h"

#include "DemBuilder.h"
#include "ElevationSource.h"
#include "ProgressBar.h"
#include "ToolCommand.h"
#include "TrackReport.h"

#include <iostream>

namespace TerrainCommands {

using ToolCommand::failure;

const char* const demUsage = "dem FILE.hgt... OUTPUT.pmtiles [--fill SAMPLES] [--zoom-max Z]";
const char* const demHelp =
    "Turns SRTM .hgt tiles (1\" 3601x3601 or 3\" 1201x1201, named like N57E011.hgt) into a PMTiles archive\n"
    "of Terrarium PNG elevation tiles over their area, levels 0 to the data's resolution (11 for 3\", 13\n"
    "for 1\"), for hill shading, contours and the elevations of tracks. Voids are filled from their\n"
    "neighbours; holes wider than that stay transparent (no data), never -32768 m.\n"
    "  --fill SAMPLES        how far into a hole voids are filled (default 16, 0: none)\n"
    "  --zoom-max Z          the deepest level (default: the data's resolution)";
const char* const trackUsage = "track FILE.gpx [--dem ARCHIVE] [--encoding NAME] [--json]";
const char* const trackHelp =
    "Prints the figures of each track of a GPX file: distance, duration, moving time (faster than\n"
    "1 km/h), average speed while moving, maximum speed (over at least 5 s), ascent and descent,\n"
    "lowest and highest point. Ascent and descent smooth the elevations over three points (0.3, 0.4,\n"
    "0.3, as gpxpy does) and then count a climb only once it has gone 3 m from the last turn, so GPS\n"
    "noise adds nothing.\n"
    "  --dem ARCHIVE         an elevation archive (MBTiles or PMTiles, Terrarium or terrain-RGB) that\n"
    "                        gives the points without <ele> theirs\n"
    "  --encoding NAME       the archive's encoding when its metadata does not say: terrarium, mapbox\n"
    "  --json                one JSON object per track (metres, seconds, m/s; null when unknown)";

int dem(const std::vector<std::string>& args, std::map<std::string, std::string>& o,
        const std::function<bool()>& interrupted)
{
    DemBuilder::Options options;
    long long n;
    if (o.count("--fill")) {
        if (!ToolCommand::number(o["--fill"], &n) || n < 0 || n > 1000)
            return failure("--fill takes a number of samples from 0 to 1000");
        options.fillReach = static_cast<int>(n);
    }
    if (o.count("--zoom-max")) {
        if (!ToolCommand::number(o["--zoom-max"], &n) || n < 0 || n > 16)
            return failure("--zoom-max takes a level from 0 to 16");
        options.zoomMax = static_cast<int>(n);
    }
    const std::string output = args.back();
    if (output.size() < 8 || output.compare(output.size() - 8, 8, ".pmtiles") != 0)
        return failure("the last argument names the archive to write, ending in .pmtiles");
    const std::vector<std::string> inputs(args.begin(), args.end() - 1);
    options.progress = progressBar("elevations");
    options.interrupted = interrupted;
    options.note = [](const std::string& text) { std::cerr << "tessel-pack: note: " << text << "\n"; };
    std::string error;
    const bool ok = DemBuilder::build(inputs, output, options, &error);
    endProgress();
    if (!ok)
        return interrupted() ? 130 : failure(error);
    std::cout << "wrote " << output << "\n";
    return 0;
}

int track(const std::vector<std::string>& args, std::map<std::string, std::string>& o)
{
    ElevationEncoding chosen = ElevationEncoding::none;
    if (o.count("--encoding") && !Elevations::encodingByName(o["--encoding"], &chosen))
        return failure("--encoding takes terrarium or mapbox");
    std::unique_ptr<ElevationSource> dem;
    std::string why;
    if (o.count("--dem") && !(dem = ElevationSource::open(o["--dem"], chosen, &why)))
        return failure(o["--dem"] + ": " + why);
    GpxData gpx;
    std::string problem;
    if (!Gpx::read(args[0], &gpx, &problem, nullptr, Gpx::Keep::figures))
        std::cerr << "tessel-pack: " << args[0] << ": " << problem << "\n";
    if (gpx.tracks.empty())
        return failure(args[0] + ": no tracks");
    std::vector<TrackReport::Entry> entries;
    for (const GpxTrack& track : gpx.tracks) {
        TrackReport::Entry e;
        e.name = track.name;
        TrackFigures figures;
        for (std::size_t line = track.firstLine; line < track.endLine; ++line) {
            std::vector<TrackPoint> points = gpx.pointsOf(line);
            if (dem)
                e.elevationsFilled += dem->fill(&points);
            figures.addLine(points);
        }
        e.figures = figures.summary();
        entries.push_back(e);
    }
    if (dem && !dem->problem().empty())
        std::cerr << "tessel-pack: " << o["--dem"] << ": " << dem->problem() << "\n";
    if (o.count("--json"))
        TrackReport::writeJson(entries, std::cout);
    else
        TrackReport::writeText(entries, std::cout);
    return 0;
}

} // namespace TerrainCommands
