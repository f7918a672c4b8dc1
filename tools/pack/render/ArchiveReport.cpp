#include "ArchiveReport.h"

#include "Codecs.h"
#include "Mercator.h"
#include "MetadataText.h"
#include "MvtReader.h"
#include "TileArchive.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace ArchiveReport {

namespace {

std::string degrees(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

// The corners of the tiles at the deepest level, for archives that declare
// no bounds.
void boundsOfTiles(const ArchiveInfo& a, double* west, double* south, double* east, double* north)
{
    const ArchiveLevel& l = a.levels.back();
    Mercator::toLonLat(256.0 * l.minX, 256.0 * (l.maxY + 1), l.z, west, south);
    Mercator::toLonLat(256.0 * (l.maxX + 1), 256.0 * l.minY, l.z, east, north);
}

} // namespace

bool write(const std::string& path, std::ostream& out, std::string* error)
{
    const TileArchive::Kind kind = TileArchive::kindOf(path);
    const std::unique_ptr<TileArchive> archive = TileArchive::open(path, error);
    if (!archive)
        return false;
    const ArchiveInfo& a = archive->info();
    out << "archive: " << (kind == TileArchive::Kind::mbtiles ? "MBTiles" : "PMTiles version 3") << "\n"
        << "name:    " << MetadataText::fromHtml(a.name) << "\n"
        << "format:  " << (a.format == "pbf" ? "vector tiles (MVT)" : a.format) << "\n"
        << "attribution: " << (a.attribution.empty() ? "(none)" : MetadataText::fromHtml(a.attribution)) << "\n";
    double west = a.west, south = a.south, east = a.east, north = a.north;
    if (!a.hasBounds)
        boundsOfTiles(a, &west, &south, &east, &north);
    out << "bounds:  " << degrees(west) << ", " << degrees(south) << ", " << degrees(east) << ", " << degrees(north)
        << (a.hasBounds ? " (west, south, east, north)" : " (of the tiles; none declared)") << "\n";
    if (a.hasCentre)
        out << "centre:  " << degrees(a.centreLon) << ", " << degrees(a.centreLat)
            << (a.centreZoom >= 0 ? " at level " + std::to_string(a.centreZoom) : std::string()) << "\n";
    long long total = 0;
    bool counted = true;
    for (const ArchiveLevel& l : a.levels) {
        out << "level " << l.z << ": ";
        if (l.tiles > 0)
            out << l.tiles << " tiles in ";
        else
            counted = false;
        out << "x " << l.minX << "-" << l.maxX << ", y " << l.minY << "-" << l.maxY << "\n";
        total += l.tiles;
    }
    if (counted)
        out << "total: " << total << " tiles\n";
    else
        out << "total: not counted (too many tiles to count when opened; the levels' extents are the bounds')\n";
    return true;
}

bool check(const std::string& path, std::ostream& report, const std::function<void(std::uint64_t)>& progress)
{
    std::string error;
    const std::unique_ptr<TileArchive> archive = TileArchive::open(path, &error);
    if (!archive) {
        report << "FAIL " << error << "\n";
        return false;
    }
    const bool vector = archive->info().format == "pbf";
    struct Count {
        long long tiles = 0, broken = 0;
    };
    std::map<int, Count> levels;
    std::uint64_t seen = 0;
    const bool walked = archive->forEachTile(
        [&](int z, long long, long long, long long run, const std::string& bytes) {
            VectorTile tile;
            std::string why;
            const bool good = vector ? MvtReader::read(bytes, &tile, &why) : Codecs::decodable(bytes);
            Count& c = levels[z];
            c.tiles += run;
            c.broken += good ? 0 : run;
            if (progress)
                progress(++seen);
            return true;
        },
        &error);
    bool ok = walked;
    if (!walked)
        report << "FAIL " << error << "\n";
    for (const auto& l : levels) {
        report << (l.second.broken ? "FAIL " : "ok   ") << "level " << l.first << ": " << l.second.tiles << " tiles, "
               << l.second.broken << " undecodable\n";
        ok = ok && l.second.broken == 0;
    }
    report << (ok ? "archive is sound\n" : "archive is damaged\n");
    return ok;
}

} // namespace ArchiveReport
