#ifndef TESSEL_PACK_PACKAGE_H
#define TESSEL_PACK_PACKAGE_H

#include "TileSet.h"
#include "TileSource.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Making, converting and checking map packages.
namespace Package {

// Called with work done and work in all, for a progress display.
using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

const std::uint64_t defaultPartSize = 16u << 20;

struct ImportOptions {
    bool packed = false;
    int zoomMin = 0, zoomMax = 30; // XYZ zoom levels taken
    int zoomActual = -1;           // the level the package opens at; default the deepest kept
    bool bbox = false;             // only tiles touching west, south, east, north (degrees)
    double west = -180, south = -85.06, east = 180, north = 85.06;
    std::string caption;            // default: the source's name
    std::string attribution;        // plain text; default: the source's credit
    std::string layer;              // default by the tiles' format: "sat" for JPEG, "wab" otherwise
    std::string overlayLayer = "wat";
    std::uint64_t partSize = defaultPartSize;
    bool toPng = false; // WebP tiles re-encoded as PNG
    // No level of the package may have more cells than this.
    std::uint64_t maxCells = 4u << 20;
    // Warnings as they come, by kind (for summing up); none when empty.
    std::function<void(const std::string& kind, const std::string& text)> warn;
    // Polled while working; true stops the import, which then leaves
    // nothing behind.
    std::function<bool()> interrupted;
};

// One layer of a package to make: tiles in memory or a source read level
// by level.
struct Layer {
    Layer(const TileSet* tiles, std::string name, bool overlay)
        : source(TileSource::of(*tiles)), name(std::move(name)), overlay(overlay)
    {
    }
    Layer(std::shared_ptr<TileSource> source, std::string name, bool overlay)
        : source(std::move(source)), name(std::move(name)), overlay(overlay)
    {
    }
    std::shared_ptr<TileSource> source;
    std::string name;
    bool overlay;
};

// Writes a Google-numbered package (zoom number = 17 - Z) into `dir`, which
// must not exist yet; it is built in `dir` + ".partial" and renamed into
// place, so a failure leaves nothing behind (a stale ".partial" is removed
// first, with a warning). The first layer (a background) sets the levels
// and the area: one rectangle, scaled level to level as the viewer scales
// it, holding every tile of every level (taken at the coarsest level,
// rounded outward). Where that would give a level more than maxCells
// cells, the coarsest levels are left out until it fits (a level too large
// by itself is left out too; when none is left, nothing is written).
// Levels left out, overlay tiles outside the area and undecodable tiles
// are warned about, so tiles written and reported add up to the source's.
// The package opens at the centre of zoomActual's tiles. Sources are read
// one level at a time; every tile is decoded once, tiles of another size
// than 256 are stored scaled as PNG. A layer without a name gets the
// default of ImportOptions::layer (backgrounds) or ::overlayLayer.
bool import(const std::vector<Layer>& layers, const ImportOptions& options, const std::string& dir,
            std::string* error, const Progress& progress = nullptr);

// Rewrites a package with its tiles loose or packed, into `out` (which
// must not exist) or, with `out` empty, in place: the new package is built
// beside the old one and swapped in only when complete.
bool convert(const std::string& dir, bool packed, const std::string& out, std::uint64_t partSize,
             std::string* error, const Progress& progress = nullptr,
             const std::function<void(const std::string&)>& note = nullptr);

// Writes a report of the package to `report`; true only for a sound
// package (missing tiles are reported but allowed).
bool check(const std::string& dir, std::ostream& report, const Progress& progress = nullptr);

// What the package holds: scheme, layers, levels, area, tiles and bytes.
bool info(const std::string& dir, std::ostream& out, std::string* error);

// Web Mercator: the tile covering (lon, lat) at level z.
void tileOf(double lon, double lat, int z, int* x, int* y);

} // namespace Package

#endif
