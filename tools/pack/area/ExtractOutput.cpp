#include "ExtractOutput.h"

#include <algorithm>
#include <cctype>

namespace {

bool endsWith(std::string text, const std::string& end)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

bool ExtractOutput::kindOf(const std::string& path, const std::string& format, Kind* kind)
{
    const std::string name = format.empty() ? path : "." + format;
    if (endsWith(name, ".pmtiles"))
        *kind = Kind::pmtiles;
    else if (endsWith(name, ".mbtiles"))
        *kind = Kind::mbtiles;
    else
        return false;
    return true;
}

ExtractOutput::ExtractOutput(const std::string& path, Kind kind) : kind(kind), file(path) {}

bool ExtractOutput::open(std::string* error)
{
    if (!file.create(error))
        return false;
    return kind == Kind::pmtiles ? pmtiles.open(file.path(), error) : mbtiles.open(file.path(), true, error);
}

bool ExtractOutput::add(std::uint64_t tileId, std::uint64_t run, const std::string& bytes, std::string* error)
{
    int z, last;
    std::uint64_t x, y;
    if (run == 0 || !PMTiles::tileFromId(tileId, &z, &x, &y) || !PMTiles::tileFromId(tileId + run - 1, &last, &x, &y)) {
        *error = "a tile beyond level 30";
        return false;
    }
    minZoom = std::min(minZoom, z);
    maxZoom = std::max(maxZoom, last);
    tiles += run;
    if (kind == Kind::pmtiles)
        return pmtiles.add(tileId, run, bytes, error);
    for (std::uint64_t id = tileId; id < tileId + run; ++id) {
        PMTiles::tileFromId(id, &z, &x, &y);
        if (!mbtiles.add(z, static_cast<long long>(x), static_cast<long long>(y), bytes, error))
            return false;
    }
    return true;
}

bool ExtractOutput::finish(const PMTiles::Header& source, const std::string& json, const AreaMetadata::Extent& e,
                           std::string* error)
{
    if (kind == Kind::mbtiles) {
        if (!mbtiles.setMetadata(AreaMetadata::jsonToRows(json, e, AreaMetadata::formatOf(source.tileType)), error) ||
            !mbtiles.close(error))
            return false;
    } else {
        PMTiles::Header h;
        h.tileType = source.tileType;
        h.tileCompression = source.tileCompression;
        h.minZoom = e.minZoom;
        h.maxZoom = e.maxZoom;
        h.west = e.west;
        h.south = e.south;
        h.east = e.east;
        h.north = e.north;
        h.centreLon = e.centreLon;
        h.centreLat = e.centreLat;
        h.centreZoom = e.centreZoom;
        if (!pmtiles.finish(h, AreaMetadata::withExtent(json, e), error))
            return false;
    }
    return file.keep(error);
}
