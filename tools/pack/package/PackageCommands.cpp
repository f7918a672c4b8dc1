#include "PackageCommands.h"

#include "ArchiveReport.h"
#include "ProgressBar.h"
#include "SafeFile.h"
#include "TileArchive.h"
#include "TileSource.h"
#include "ToolCommand.h"
#include "Warnings.h"

#include <cstdio>
#include <iostream>

using ToolCommand::failure;
using ToolCommand::number;

namespace PackageCommands {

const char* const importUsage = "import SOURCE PACKAGE [options]";
const char* const importHelp =
          "Makes a package with Google numbering from an MBTiles file, a PMTiles v3 archive (raster) or a\n"
          "folder of Z/X/Y.png|jpg|webp tiles, read a level at a time. Tiles are copied as they are stored\n"
          "once they decode; other sizes than 256 are scaled to 256 and stored as PNG. The package's area\n"
          "holds every tile of every level; a level that would make it larger than 4 Mi cells at the\n"
          "deepest level is left out and reported, as are undecodable tiles. (Archives also open in the\n"
          "viewer directly: put them in maps/.)\n"
          "  --packed              store the tiles in .map part files (default: one file per tile)\n"
          "  --zoom-min Z, --zoom-max Z   the XYZ levels to take\n"
          "  --zoom-actual Z       the level the package opens at (default: the deepest level kept)\n"
          "  --to-png              store WebP tiles as PNG\n"
          "  --bbox W,S,E,N        only tiles touching this box (degrees)\n"
          "  --caption TEXT        the name in the package list (default: the source's name)\n"
          "  --attribution TEXT    the credit shown on the map (default: the source's)\n"
          "  --layer NAME          the background layer (default: sat for JPEG, wab otherwise)\n"
          "  --overlay SOURCE      a second source, imported as an overlay layer\n"
          "  --overlay-layer NAME  its layer name (default: wat)\n"
          "  --part-size BYTES     largest part file (default 16 MiB)";

namespace {

std::shared_ptr<TileSource> openSource(const std::string& path)
{
    std::string error;
    std::shared_ptr<TileSource> source = TileSource::open(path, &error);
    if (!source)
        failure(error);
    return source;
}

int convertTo(bool packed, const std::vector<std::string>& args, Options& o)
{
    std::uint64_t partSize = Package::defaultPartSize;
    long long n;
    if (o.count("--part-size")) {
        if (!number(o["--part-size"], &n) || n < 1024)
            return failure("--part-size takes a number of bytes, at least 1024");
        partSize = static_cast<std::uint64_t>(n);
    }
    std::string error;
    const bool ok = Package::convert(args[0], packed, o["--out"], partSize, &error,
                                     progressBar(packed ? "packing" : "unpacking"),
                                     [](const std::string& text) { std::cerr << "tessel-pack: note: " << text << "\n"; });
    endProgress();
    if (!ok)
        return failure(error);
    std::cout << (packed ? "packed " : "unpacked ") << (o["--out"].empty() ? args[0] : o["--out"]) << "\n";
    return 0;
}

} // namespace

bool readImportOptions(Options& o, Package::ImportOptions* out, bool (*interrupted)())
{
    Package::ImportOptions& options = *out;
    options.packed = o.count("--packed") > 0;
    options.toPng = o.count("--to-png") > 0;
    long long n;
    for (auto key : {std::make_pair("--zoom-min", &options.zoomMin), std::make_pair("--zoom-max", &options.zoomMax),
                     std::make_pair("--zoom-actual", &options.zoomActual)}) {
        if (!o.count(key.first))
            continue;
        if (!number(o[key.first], &n) || n < 0 || n > 30)
            return failure(std::string(key.first) + " takes a zoom level from 0 to 30") == 0;
        *key.second = static_cast<int>(n);
    }
    if (o.count("--part-size")) {
        if (!number(o["--part-size"], &n) || n < 1024)
            return failure("--part-size takes a number of bytes, at least 1024") == 0;
        options.partSize = static_cast<std::uint64_t>(n);
    }
    if (o.count("--bbox")) {
        options.bbox = std::sscanf(o["--bbox"].c_str(), "%lf,%lf,%lf,%lf", &options.west, &options.south,
                                   &options.east, &options.north) == 4;
        if (!options.bbox || options.west >= options.east || options.south >= options.north)
            return failure("--bbox takes WEST,SOUTH,EAST,NORTH in degrees") == 0;
    }
    options.caption = o["--caption"];
    options.attribution = o["--attribution"];
    options.layer = o["--layer"];
    if (o.count("--overlay-layer"))
        options.overlayLayer = o["--overlay-layer"];
    options.interrupted = interrupted;
    return true;
}

int import(const std::vector<std::string>& args, Options& o, bool (*interrupted)())
{
    Package::ImportOptions options;
    if (!readImportOptions(o, &options, interrupted))
        return 1;
    Warnings warnings(std::cerr);
    options.warn = [&](const std::string& kind, const std::string& text) { warnings.add(kind, text); };
    const std::shared_ptr<TileSource> base = openSource(args[0]);
    if (!base)
        return 1;
    std::vector<Package::Layer> layers{{base, "", false}};
    if (o.count("--overlay")) {
        const std::shared_ptr<TileSource> overlay = openSource(o["--overlay"]);
        if (!overlay)
            return 1;
        layers.push_back({overlay, "", true});
    }
    std::string error;
    const bool ok = Package::import(layers, options, args[1], &error, progressBar("importing"));
    endProgress();
    warnings.summary();
    if (!ok)
        return interrupted() ? 130 : failure(error);
    std::cout << "wrote " << args[1] << "\n";
    return 0;
}

int pack(const std::vector<std::string>& args, Options& o)
{
    return convertTo(true, args, o);
}

int unpack(const std::vector<std::string>& args, Options& o)
{
    return convertTo(false, args, o);
}

int check(const std::vector<std::string>& args, Options&)
{
    const auto bar = progressBar("checking");
    const bool ok = !SafeFile::isDirectory(args[0]) && TileArchive::kindOf(args[0]) != TileArchive::Kind::none
                        ? ArchiveReport::check(args[0], std::cout, [&](std::uint64_t n) {
                              if (bar)
                                  bar(n, 0);
                          })
                        : Package::check(args[0], std::cout, bar);
    endProgress();
    return ok ? 0 : 1;
}

int info(const std::vector<std::string>& args, Options&)
{
    std::string error;
    const bool ok = SafeFile::isDirectory(args[0]) ? Package::info(args[0], std::cout, &error)
                                                : ArchiveReport::write(args[0], std::cout, &error);
    return ok ? 0 : failure(args[0] + ": " + error);
}

} // namespace PackageCommands
