#include "DemBuilder.h"

#include "Failure.h"
#include "HgtPyramid.h"
#include "Mercator.h"
#include "PMTilesDirectory.h"
#include "PMTilesWriter.h"
#include "TempOutput.h"
#include "TerrariumPng.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

namespace DemBuilder {

namespace {

const int tileEdge = 256;

struct Area {
    std::map<std::pair<int, int>, std::unique_ptr<HgtPyramid>> tiles; // by (south, west)
    int south = 90, west = 180, north = -90, east = -180;
    double spacing = 1;
};

bool readAll(const std::vector<std::string>& paths, const Options& options, Area* area, std::string* error)
{
    std::size_t filled = 0, left = 0;
    for (const std::string& path : paths) {
        HgtTile tile;
        std::string why;
        if (!HgtTile::read(path, &tile, &why))
            return fail(error, path + ": " + why);
        const auto key = std::make_pair(tile.south, tile.west);
        if (area->tiles.count(key))
            return fail(error, path + ": a second tile for the same square");
        filled += tile.fillVoids(options.fillReach);
        left += tile.voids();
        area->south = std::min(area->south, tile.south);
        area->west = std::min(area->west, tile.west);
        area->north = std::max(area->north, tile.south + 1);
        area->east = std::max(area->east, tile.west + 1);
        area->spacing = std::min(area->spacing, tile.spacing());
        area->tiles[key] = std::make_unique<HgtPyramid>(tile);
    }
    if (options.note && (filled || left))
        options.note(std::to_string(filled) + " void samples filled from their neighbours, " + std::to_string(left) +
                     " left transparent");
    return true;
}

// The elevations of tile (z, x, y): NaN where no .hgt covers or voids remain.
std::vector<float> render(const Area& area, int z, long long x, long long y)
{
    std::vector<double> lons(tileEdge), lats(tileEdge);
    for (int i = 0; i < tileEdge; ++i) {
        double ignored;
        Mercator::toLonLat(static_cast<double>(x) * tileEdge + i + 0.5, 0, z, &lons[i], &ignored);
        Mercator::toLonLat(0, static_cast<double>(y) * tileEdge + i + 0.5, z, &ignored, &lats[i]);
    }
    const double pixelDegrees = 360.0 / (tileEdge * std::ldexp(1.0, z));
    std::vector<float> out(static_cast<std::size_t>(tileEdge) * tileEdge, NAN);
    for (int j = 0; j < tileEdge; ++j)
        for (int i = 0; i < tileEdge; ++i) {
            const auto found = area.tiles.find({static_cast<int>(std::floor(lats[j])), static_cast<int>(std::floor(lons[i]))});
            if (found != area.tiles.end())
                out[static_cast<std::size_t>(j) * tileEdge + i] = found->second->sample(lons[i], lats[j], pixelDegrees);
        }
    return out;
}

struct Range {
    long long x0, y0, x1, y1;
    long long count() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
};

Range rangeAt(const Area& a, int z)
{
    double x0, y0, x1, y1;
    Mercator::toPixel(a.west, a.north, z, &x0, &y0);
    Mercator::toPixel(a.east, a.south, z, &x1, &y1);
    const long long last = (1LL << z) - 1;
    auto tileOf = [&](double px) { return std::clamp(static_cast<long long>(std::floor(px / tileEdge)), 0LL, last); };
    // The east and south edges belong to the next tile only past them.
    return Range{tileOf(x0), tileOf(y0), tileOf(std::nextafter(x1, 0.0)), tileOf(std::nextafter(y1, 0.0))};
}

std::string metadata(const Area& a, int maxZoom, std::size_t files)
{
    nlohmann::json m;
    m["name"] = "Elevations";
    m["description"] = "Elevations of " + std::to_string(files) + " SRTM tile" + (files == 1 ? "" : "s");
    m["format"] = "png";
    m["encoding"] = "terrarium";
    m["type"] = "overlay";
    m["minzoom"] = 0;
    m["maxzoom"] = maxZoom;
    m["bounds"] = {a.west, a.south, a.east, a.north};
    m["attribution"] = "SRTM (NASA, USGS)";
    return m.dump();
}

} // namespace

int deepestLevel(double degrees)
{
    int z = 0;
    while (z < 20 && 360.0 / (tileEdge * std::ldexp(1.0, z)) > degrees * (1 + 1e-9))
        ++z;
    return z;
}

bool build(const std::vector<std::string>& hgtFiles, const std::string& output, const Options& options,
           std::string* error)
{
    Area area;
    if (!readAll(hgtFiles, options, &area, error))
        return false;
    const int maxZoom = options.zoomMax >= 0 ? options.zoomMax : deepestLevel(area.spacing);
    std::uint64_t total = 0, done = 0;
    for (int z = 0; z <= maxZoom; ++z)
        total += static_cast<std::uint64_t>(rangeAt(area, z).count());
    TempOutput file(output);
    PMTilesWriter writer;
    if (!file.create(error) || !writer.open(file.path(), error))
        return false;
    for (int z = 0; z <= maxZoom; ++z) {
        const Range r = rangeAt(area, z);
        for (long long y = r.y0; y <= r.y1; ++y)
            for (long long x = r.x0; x <= r.x1; ++x) {
                if (options.interrupted && options.interrupted())
                    return fail(error, "interrupted");
                const std::string png = TerrariumPng::encode(render(area, z, x, y), tileEdge);
                if (!png.empty() && !writer.add(PMTiles::tileId(z, static_cast<std::uint64_t>(x), static_cast<std::uint64_t>(y)),
                                                1, png, error))
                    return false;
                if (options.progress)
                    options.progress(++done, total);
            }
    }
    PMTiles::Header h;
    h.tileType = PMTiles::Header::png;
    h.tileCompression = PMTiles::Header::none;
    h.minZoom = 0;
    h.maxZoom = maxZoom;
    h.west = area.west;
    h.south = area.south;
    h.east = area.east;
    h.north = area.north;
    h.centreLon = (area.west + area.east) / 2.0;
    h.centreLat = (area.south + area.north) / 2.0;
    h.centreZoom = std::max(0, maxZoom - 3);
    return writer.finish(h, metadata(area, maxZoom, hgtFiles.size()), error) && file.keep(error);
}

} // namespace DemBuilder
