#include "TileArchive.h"

#include "MBTilesArchive.h"
#include "Mercator.h"
#include "PMTilesArchive.h"
#include "SafeFile.h"
#include "TileDecoder.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unistd.h>

TileArchive::Kind TileArchive::kindOf(const std::string& path)
{
    const int fd = SafeFile::openRegular(path);
    if (fd < 0)
        return Kind::none;
    char head[16] = {};
    const ssize_t n = pread(fd, head, sizeof head, 0);
    close(fd);
    if (n == 16 && std::memcmp(head, "SQLite format 3", 16) == 0)
        return Kind::mbtiles;
    if (n >= 7 && std::memcmp(head, "PMTiles", 7) == 0)
        return Kind::pmtiles;
    return Kind::none;
}

bool TileArchive::hasArchiveName(const std::string& name)
{
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* tail : {".mbtiles", ".pmtiles"}) {
        const std::size_t n = std::strlen(tail);
        if (lower.size() > n && lower.compare(lower.size() - n, n, tail) == 0)
            return true;
    }
    return false;
}

std::unique_ptr<TileArchive> TileArchive::open(const std::string& path, std::string* error, Reading reading)
{
    switch (kindOf(path)) {
    case Kind::mbtiles:
        return MBTilesArchive::open(path, error, reading);
    case Kind::pmtiles:
        return PMTilesArchive::open(path, error, reading);
    default:
        *error = refusal(path);
        return nullptr;
    }
}

std::string TileArchive::refusal(const std::string& path)
{
    unsigned char head[4] = {};
    const int fd = SafeFile::openRegular(path);
    const ssize_t n = fd >= 0 ? pread(fd, head, sizeof head, 0) : -1;
    if (fd >= 0)
        close(fd);
    if (n < 0)
        return "cannot be read";
    // Versions 1 and 2 began with "PM" and a 16-bit little-endian version.
    if (n == 4 && head[0] == 'P' && head[1] == 'M' && (head[2] == 1 || head[2] == 2) && head[3] == 0)
        return "PMTiles version " + std::to_string(head[2]) + " is not supported; convert it to version 3";
    std::string lower = path;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.size() > 8 && lower.compare(lower.size() - 8, 8, ".mbtiles") == 0)
        return "not an MBTiles file: not SQLite";
    if (lower.size() > 8 && lower.compare(lower.size() - 8, 8, ".pmtiles") == 0)
        return "not a PMTiles file";
    return "neither an MBTiles nor a PMTiles file";
}

bool TileArchive::acceptFormat(const std::string& declared, const std::string& sample, std::string* error)
{
    if (declared == "mlt") {
        *error = "MapLibre tiles (mlt) cannot be shown";
        return false;
    }
    const TileDecoder::Format format =
        TileDecoder::sniff(reinterpret_cast<const std::uint8_t*>(sample.data()), sample.size());
    if (declared == "pbf" || declared == "mvt" || format == TileDecoder::Format::vector) {
        about.format = "pbf";
        about.sampleTile = sample;
        return true;
    }
    switch (format) {
    case TileDecoder::Format::png:
    case TileDecoder::Format::jpeg:
    case TileDecoder::Format::webp:
    case TileDecoder::Format::gif:
        about.format = TileDecoder::formatName(format);
        return true;
    default:
        *error = "tiles of an unknown format (" + (declared.empty() ? std::string("not declared") : declared) +
                 ") cannot be shown";
        return false;
    }
}

void TileArchive::levelsFromBounds(int minZoom, int maxZoom)
{
    about.levels.clear();
    for (int z = minZoom; z <= maxZoom; ++z) {
        double x0, y0, x1, y1;
        Mercator::toPixel(about.west, about.north, z, &x0, &y0);
        Mercator::toPixel(about.east, about.south, z, &x1, &y1);
        const long long last = (1ll << z) - 1;
        ArchiveLevel l;
        l.z = z;
        l.minX = std::max(0ll, std::min(last, static_cast<long long>(x0 / 256)));
        l.minY = std::max(0ll, std::min(last, static_cast<long long>(y0 / 256)));
        l.maxX = std::max(l.minX, std::min(last, static_cast<long long>(x1 / 256)));
        l.maxY = std::max(l.minY, std::min(last, static_cast<long long>(y1 / 256)));
        about.levels.push_back(l);
    }
}
