#include "Extract.h"

#include "ExtractOutput.h"
#include "FileBytes.h"
#include "Files.h"
#include "HttpBytes.h"
#include "MBTilesArchive.h"
#include "SafeFile.h"
#include "TileArchive.h"

#include <algorithm>

namespace Extract {

namespace {

// What the source says of itself, whichever kind it is.
struct SourceInfo {
    PMTiles::Header header; // tile type, compression, levels, bounds, centre
    bool hasBounds = false;
    std::string json = "{}";
};

bool levels(const Options& o, const SourceInfo& s, int* from, int* to, std::string* error)
{
    *from = std::max(o.zoomMin < 0 ? s.header.minZoom : o.zoomMin, s.header.minZoom);
    *to = std::min(o.zoomMax < 0 ? s.header.maxZoom : o.zoomMax, s.header.maxZoom);
    if (*from > *to) {
        *error = "the source has levels " + std::to_string(s.header.minZoom) + " to " +
                 std::to_string(s.header.maxZoom) + ", none of those asked for";
        return false;
    }
    return true;
}

// The box as far as the source reaches; the whole width when it crosses
// the date line (bounds cannot say two boxes).
AreaMetadata::Extent extentOf(const Options& o, const SourceInfo& s, const ExtractOutput& out)
{
    AreaMetadata::Extent e;
    const AreaBox& b = o.box;
    e.south = b.south;
    e.north = b.north;
    e.west = b.crossesDateLine() ? -180 : b.west;
    e.east = b.crossesDateLine() ? 180 : b.east;
    if (s.hasBounds && s.header.west < e.east && s.header.east > e.west && s.header.south < e.north &&
        s.header.north > e.south) {
        e.west = std::max(e.west, s.header.west);
        e.east = std::min(e.east, s.header.east);
        e.south = std::max(e.south, s.header.south);
        e.north = std::min(e.north, s.header.north);
    }
    e.minZoom = out.minZoom;
    e.maxZoom = out.maxZoom;
    e.centreLon = (e.west + e.east) / 2;
    e.centreLat = (e.south + e.north) / 2;
    e.centreZoom = std::max(e.minZoom, std::min(e.maxZoom, static_cast<int>(s.header.centreZoom)));
    return e;
}

bool finish(const Options& o, const SourceInfo& s, ExtractOutput* out, std::uint64_t* tiles, std::string* error)
{
    if (out->tiles == 0) {
        *error = "no tiles of the source meet the box at the levels asked for";
        return false;
    }
    *tiles = out->tiles;
    return out->finish(s.header, s.json, extentOf(o, s, *out), error);
}

bool fromPMTiles(ByteSource& bytes, const Options& o, ExtractOutput* out, std::uint64_t* tiles, std::string* error)
{
    PMTilesPicker picker(bytes);
    SourceInfo s;
    if (!picker.open(error))
        return false;
    s.header = picker.header();
    s.json = picker.metadata();
    s.hasBounds = s.header.west < s.header.east && s.header.south < s.header.north;
    int from, to;
    std::vector<PMTilesPicker::IdRange> ranges;
    if (!levels(o, s, &from, &to, error))
        return false;
    for (int z = from; z <= to; ++z)
        if (!o.box.idRanges(z, &ranges)) {
            *error = "the box is too detailed at level " + std::to_string(z) + "; cut a smaller area";
            return false;
        }
    std::vector<PMTiles::Entry> picked;
    if (!picker.pick(ranges, &picked, error) || !out->open(error))
        return false;
    std::uint64_t done = 0;
    bool failed = false;
    const bool fetched = picker.fetch(picked, o.gap, o.maxRead,
                                      [&](const PMTiles::Entry& e, const std::string& data) {
                                          if (o.progress)
                                              o.progress(done + 1, picked.size());
                                          ++done;
                                          failed = !out->add(e.tileId, e.runLength, data, error);
                                          return !failed && !(o.interrupted && o.interrupted());
                                      },
                                      error);
    if (!fetched || failed)
        return false;
    if (done < picked.size()) {
        *error = "interrupted";
        return false;
    }
    return finish(o, s, out, tiles, error);
}

bool fromMBTiles(const std::string& path, const Options& o, ExtractOutput* out, std::uint64_t* tiles,
                 std::string* error)
{
    const std::unique_ptr<MBTilesArchive> archive = MBTilesArchive::open(
        path, error, TileArchive::Reading::tilesOnly, MBTilesArchive::maxQuerySteps, o.interrupted);
    std::map<std::string, std::string> rows;
    if (!archive || !archive->metadataRows(&rows, error) || !out->open(error))
        return false;
    SourceInfo s;
    s.json = AreaMetadata::rowsToJson(rows);
    s.header.minZoom = 0;
    s.header.maxZoom = TileArchive::maxZoom;
    s.header.centreZoom = archive->info().centreZoom;
    s.hasBounds = archive->info().hasBounds;
    s.header.west = archive->info().west;
    s.header.south = archive->info().south;
    s.header.east = archive->info().east;
    s.header.north = archive->info().north;
    int from, to;
    if (!levels(o, s, &from, &to, error))
        return false;
    std::string sample;
    bool failed = false, stopped = false;
    for (int z = from; z <= to && !failed && !stopped; ++z)
        for (const TileRect& r : o.box.tiles(z)) {
            const bool read = archive->forEachTileAt(
                z, r.minX, r.minY, r.maxX, r.maxY,
                [&](long long x, long long y, const std::string& bytes) {
                    if (sample.empty())
                        sample = bytes;
                    failed = !out->add(PMTiles::tileId(z, x, y), 1, bytes, error);
                    stopped = o.interrupted && o.interrupted();
                    if (o.progress)
                        o.progress(out->tiles, 0);
                    return !failed && !stopped;
                },
                error);
            if (stopped && !failed)
                *error = "interrupted";
            if (!read || failed || stopped)
                return false;
        }
    const auto format = rows.find("format");
    s.header.tileType = AreaMetadata::tileTypeOf(format == rows.end() ? std::string() : format->second, sample);
    s.header.tileCompression = s.header.tileType == PMTiles::Header::mvt && sample.compare(0, 2, "\x1f\x8b") == 0
                                   ? PMTiles::Header::gzip
                                   : PMTiles::Header::none;
    return finish(o, s, out, tiles, error);
}

} // namespace

bool isAddress(const std::string& source)
{
    return source.compare(0, 7, "http://") == 0 || source.compare(0, 8, "https://") == 0;
}

bool run(const std::string& source, const std::string& output, const Options& o, std::uint64_t* tiles,
         std::string* error)
{
    ExtractOutput::Kind kind;
    if (!ExtractOutput::kindOf(output, o.format, &kind)) {
        *error = output + ": the output must end in .pmtiles or .mbtiles (or give --format)";
        return false;
    }
    if (SafeFile::present(output)) {
        *error = output + " exists already; remove it or choose another name";
        return false;
    }
    ExtractOutput out(output, kind);
    if (isAddress(source)) {
        if (!o.fetcher) {
            *error = "no network access here";
            return false;
        }
        HttpBytes bytes(*o.fetcher, source);
        return fromPMTiles(bytes, o, &out, tiles, error);
    }
    if (!SafeFile::present(source)) {
        *error = source + ": cannot be read (no such file)";
        return false;
    }
    const TileArchive::Kind sourceKind = TileArchive::kindOf(source);
    if (sourceKind == TileArchive::Kind::mbtiles)
        return fromMBTiles(source, o, &out, tiles, error);
    std::unique_ptr<FileBytes> bytes = sourceKind == TileArchive::Kind::pmtiles ? FileBytes::open(source, error) : nullptr;
    if (!bytes) {
        if (sourceKind == TileArchive::Kind::none)
            *error = source + ": not an MBTiles or PMTiles archive";
        return false;
    }
    return fromPMTiles(*bytes, o, &out, tiles, error);
}

} // namespace Extract
