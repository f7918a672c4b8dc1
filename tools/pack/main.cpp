// tessel-pack: makes, converts, checks and describes Tessel map packages.
#include "AreaCommands.h"
#include "ToolCommand.h"
#include "DemoCommands.h"
#include "Package.h"
#include "PackageCommands.h"
#include "ProgressBar.h"
#include "RenderedSource.h"
#include "RouteCommands.h"
#include "SearchCommands.h"
#include "SafeFile.h"
#include "TerrainCommands.h"
#include "Version.h"
#include "Warnings.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Command {
    const char* usage;
    const char* help;
    int (*run)(const std::vector<std::string>& args, std::map<std::string, std::string>& options);
    std::vector<std::string> flags;   // options without a value
    std::vector<std::string> valued;  // options with a value
    std::size_t arguments;
    bool orMore = false; // `arguments` is the least: more may follow
};

using ToolCommand::failure;
using ToolCommand::number;

// Set by SIGINT and SIGTERM: long commands stop and clean up.
volatile std::sig_atomic_t stopRequested = 0;

bool interrupted()
{
    return stopRequested != 0;
}

// The built-in styles: beside the current directory's media, else installed
// with the program, else in the source tree the program was built from.
std::string stylesDir(const char* argv0)
{
    const std::string exe = argv0;
    const std::string installed = exe.rfind('/') == std::string::npos
                                      ? std::string()
                                      : exe.substr(0, exe.rfind('/')) + "/../share/tessel/media/styles";
    for (const std::string& dir : {std::string("media/styles"), installed, std::string(TESSEL_SOURCE_STYLES)})
        if (!dir.empty() && SafeFile::isDirectory(dir))
            return dir;
    return "media/styles";
}

const char* programPath = "tessel-pack";

// The language files (turn texts), found as the styles are.
std::string langDir()
{
    const std::string exe = programPath;
    const std::string installed = exe.rfind('/') == std::string::npos
                                      ? std::string()
                                      : exe.substr(0, exe.rfind('/')) + "/../share/tessel/lang";
    for (const std::string& dir : {std::string("lang"), installed, std::string(TESSEL_SOURCE_LANG)})
        if (!dir.empty() && SafeFile::isDirectory(dir))
            return dir;
    return "lang";
}

int runRender(const std::vector<std::string>& args, std::map<std::string, std::string>& o)
{
    Package::ImportOptions options;
    if (!PackageCommands::readImportOptions(o, &options, interrupted))
        return 1;
    std::string error;
    std::shared_ptr<RenderedSource> source =
        RenderedSource::open(args[0], o["--style"], stylesDir(programPath), o.count("--dark") > 0, &error);
    if (!source)
        return failure(error);
    if (!o.count("--zoom-max"))
        options.zoomMax = source->levels().back().z - VectorRenderer::overzoomLevels;
    Warnings warnings(std::cerr);
    options.warn = [&](const std::string& kind, const std::string& text) { warnings.add(kind, text); };
    std::cerr << "drawing with " << source->style << "\n";
    const bool ok = Package::import({{source, "", false}}, options, args[1], &error, progressBar("drawing"));
    endProgress();
    warnings.summary();
    if (!ok)
        return interrupted() ? 130 : failure(error);
    std::cout << "wrote " << args[1] << " (" << source->drawn << " tiles drawn)\n";
    return 0;
}

const std::map<std::string, Command>& commands()
{
    static const std::map<std::string, Command> table = {
        {"import",
         {PackageCommands::importUsage, PackageCommands::importHelp,
          [](const std::vector<std::string>& a, std::map<std::string, std::string>& o) {
              return PackageCommands::import(a, o, interrupted);
          },
          {"--packed", "--to-png"},
          {"--zoom-min", "--zoom-max", "--zoom-actual", "--bbox", "--caption", "--attribution", "--layer", "--overlay",
           "--overlay-layer", "--part-size"},
          2}},
        {"render",
         {"render SOURCE PACKAGE [options]",
          "Draws a vector archive (MBTiles or PMTiles of MVT tiles) into a package of PNG tiles, as the viewer\n"
          "draws it, for machines too slow to draw while panning. Tiles are drawn a level at a time.\n"
          "  --style FILE          a style (default: the built-in one for the archive's schema)\n"
          "  --dark                the style's dark colours\n"
          "  --zoom-min Z, --zoom-max Z   the levels to draw (default: those of the archive; up to 4\n"
          "                        more past its deepest are drawn from the deepest one's data)\n"
          "  --bbox W,S,E,N        only tiles touching this box (degrees)\n"
          "  --packed              store the tiles in .map part files\n"
          "  --zoom-actual Z, --caption TEXT, --layer NAME, --part-size BYTES   as for import",
          runRender,
          {"--packed", "--dark"},
          {"--zoom-min", "--zoom-max", "--zoom-actual", "--bbox", "--caption", "--layer", "--part-size", "--style"},
          2}},
        {"pack",
         {"pack PACKAGE [--out DIR] [--part-size BYTES]",
          "Stores the tiles of a package in .map part files. In place unless --out names a new directory;\n"
          "the package is replaced only once the packed copy is complete.",
          PackageCommands::pack,
          {},
          {"--out", "--part-size"},
          1}},
        {"unpack",
         {"unpack PACKAGE [--out DIR]",
          "Stores the tiles of a packed package as one file per tile, in place or into --out.", PackageCommands::unpack, {},
          {"--out"}, 1}},
        {"check",
         {"check PACKAGE|ARCHIVE",
          "Checks map.conf, every part file's header and offsets, and that every tile decodes; counts\n"
          "missing tiles per layer and level. An MBTiles or PMTiles archive: every directory is walked\n"
          "and every tile decoded (vector tiles too), counted per level. Exit status 0 only when sound.",
          PackageCommands::check, {}, {}, 1}},
        {"extract",
         {AreaCommands::extractUsage, AreaCommands::extractHelp,
          [](const std::vector<std::string>& a, std::map<std::string, std::string>& o) {
              return AreaCommands::extract(a, o, interrupted);
          },
          {}, {"--bbox", "--zoom-min", "--zoom-max", "--format"}, 2}},
        {"download",
         {AreaCommands::downloadUsage, AreaCommands::downloadHelp,
          [](const std::vector<std::string>& a, std::map<std::string, std::string>& o) {
              return AreaCommands::download(a, o, interrupted);
          },
          {"--yes"}, {"--bbox", "--zoom-min", "--zoom-max", "--rate", "--attribution", "--name"}, 2}},
        {"index",
         {SearchCommands::indexUsage, SearchCommands::indexHelp,
          [](const std::vector<std::string>& a, std::map<std::string, std::string>& o) {
              return SearchCommands::index(a, o, interrupted);
          },
          {}, {}, 2}},
        {"search", {SearchCommands::searchUsage, SearchCommands::searchHelp, SearchCommands::search, {"--json"},
                    {"--near", "--limit"}, 2}},
        {"routes",
         {RouteCommands::routesUsage, RouteCommands::routesHelp,
          [](const std::vector<std::string>& a, std::map<std::string, std::string>& o) {
              return RouteCommands::routes(a, o, interrupted);
          },
          {}, {}, 2}},
        {"route",
         {RouteCommands::routeUsage, RouteCommands::routeHelp,
          [](const std::vector<std::string>& a, std::map<std::string, std::string>& o) {
              return RouteCommands::route(a, o, langDir());
          },
          {"--shortest", "--json"}, {"--from", "--to", "--profile", "--gpx", "--language", "--profiles"}, 1}},
        {"dem",
         {TerrainCommands::demUsage, TerrainCommands::demHelp,
          [](const std::vector<std::string>& a, std::map<std::string, std::string>& o) {
              return TerrainCommands::dem(a, o, interrupted);
          },
          {}, {"--fill", "--zoom-max"}, 2, true}},
        {"track",
         {TerrainCommands::trackUsage, TerrainCommands::trackHelp, TerrainCommands::track, {"--json"},
          {"--dem", "--encoding"}, 1}},
        {"info",
         {"info PACKAGE|ARCHIVE",
          "Describes a package (scheme, layers, levels, area, tiles and bytes) or an MBTiles or PMTiles\n"
          "archive (format, name, attribution, bounds, centre, and the tiles and extent of each level).",
          PackageCommands::info, {}, {}, 1}},
        {"earth",
         {"earth PACKAGE [--day FILE] [--night FILE] [--font FILE] [--max-zoom Z]",
          "Makes the Earth demo package from equirectangular day and night pictures (default: Debian's\n"
          "xplanet-images, NASA Visible Earth), levels 0 to 3, with a graticule overlay.",
          DemoCommands::earth, {}, {"--day", "--night", "--font", "--max-zoom"}, 1}},
        {"sample",
         {"sample PACKAGE [--font FILE]",
          "Makes a small package with Seznam numbering (loose tiles, two backgrounds and an overlay).", DemoCommands::sample,
          {}, {"--font"}, 1}},
    };
    return table;
}

void usage(std::ostream& out)
{
    out << "usage: tessel-pack COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const auto& c : commands())
        out << "  " << c.second.usage << "\n";
    out << "\n'tessel-pack COMMAND --help' describes one command; 'tessel-pack --version' names the release.\n";
}

} // namespace

int main(int argc, char* argv[])
{
    programPath = argv[0];
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "tessel-pack " << Version::number << "\n";
        return 0;
    }
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        usage(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    const auto found = commands().find(argv[1]);
    if (found == commands().end()) {
        std::cerr << "tessel-pack: unknown command '" << argv[1] << "'\n";
        usage(std::cerr);
        return 2;
    }
    const Command& command = found->second;
    std::vector<std::string> args;
    std::map<std::string, std::string> options;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--help" || word == "-h") {
            std::cout << "usage: tessel-pack " << command.usage << "\n\n" << command.help << "\n";
            return 0;
        }
        if (word.compare(0, 2, "--") != 0) {
            args.push_back(word);
        } else if (std::find(command.flags.begin(), command.flags.end(), word) != command.flags.end()) {
            options[word] = "yes";
        } else if (std::find(command.valued.begin(), command.valued.end(), word) != command.valued.end() &&
                   i + 1 < argc) {
            options[word] = argv[++i];
        } else {
            std::cerr << "tessel-pack: " << argv[1] << ": unknown option or missing value: " << word << "\n";
            return 2;
        }
    }
    if (command.orMore ? args.size() < command.arguments : args.size() != command.arguments) {
        std::cerr << "usage: tessel-pack " << command.usage << "\n";
        return 2;
    }
    SDL_Init(0);
    // Only the commands that watch the flag (and clean up) take the signals
    // over; the others stop at once as any program does.
    const std::string name = argv[1];
    if (name == "import" || name == "render" || name == "extract" || name == "download" || name == "index" ||
        name == "routes" || name == "dem") {
        std::signal(SIGINT, [](int) { stopRequested = 1; });
        std::signal(SIGTERM, [](int) { stopRequested = 1; });
    }
    int status = 1;
    try {
        status = command.run(args, options);
    } catch (const std::exception& e) {
        failure(std::string(argv[1]) + " stopped: " + e.what());
    }
    if (TTF_WasInit())
        TTF_Quit();
    SDL_Quit();
    return status;
}
