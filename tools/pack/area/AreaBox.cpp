#include "AreaBox.h"

#include "Mercator.h"
#include "PMTilesDirectory.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool number(const std::string& text, double* value)
{
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(*value);
}

// The tiles of level z meeting west..east (west < east) and south..north.
TileRect rectOf(int z, double west, double south, double east, double north)
{
    double x0, y0, x1, y1;
    Mercator::toPixel(west, north, z, &x0, &y0);
    Mercator::toPixel(east, south, z, &x1, &y1);
    const long long last = (1ll << z) - 1;
    auto clamp = [last](double v) { return std::max(0ll, std::min(last, static_cast<long long>(v))); };
    TileRect r;
    r.minX = clamp(std::floor(x0 / 256));
    r.minY = clamp(std::floor(y0 / 256));
    // A box ending on a tile's edge does not take the tile beyond it.
    r.maxX = std::max(r.minX, clamp(std::ceil(x1 / 256) - 1));
    r.maxY = std::max(r.minY, clamp(std::ceil(y1 / 256) - 1));
    return r;
}

struct Cover {
    int z;
    TileRect rect;
    std::uint64_t levelStart;
    std::vector<PMTilesPicker::IdRange>* out;
    std::size_t limit;
};

// The ids of quadtree node (k, qx, qy) are contiguous along the Hilbert
// curve: whole nodes inside the rectangle are one range each.
bool cover(const Cover& c, int k, std::uint64_t qx, std::uint64_t qy)
{
    const int shift = c.z - k;
    const long long x0 = static_cast<long long>(qx << shift), y0 = static_cast<long long>(qy << shift);
    const long long x1 = x0 + (1ll << shift) - 1, y1 = y0 + (1ll << shift) - 1;
    if (x1 < c.rect.minX || x0 > c.rect.maxX || y1 < c.rect.minY || y0 > c.rect.maxY)
        return true;
    if (x0 >= c.rect.minX && x1 <= c.rect.maxX && y0 >= c.rect.minY && y1 <= c.rect.maxY) {
        const std::uint64_t index = PMTiles::tileId(k, qx, qy) - PMTiles::tileId(k, 0, 0);
        const std::uint64_t from = c.levelStart + (index << (2 * shift));
        c.out->push_back(PMTilesPicker::IdRange{from, from + (1ull << (2 * shift))});
        return c.out->size() <= c.limit;
    }
    for (std::uint64_t child = 0; child < 4; ++child)
        if (!cover(c, k + 1, 2 * qx + (child & 1), 2 * qy + (child >> 1)))
            return false;
    return true;
}

} // namespace

bool AreaBox::parse(const std::string& text, AreaBox* box, std::string* error)
{
    std::vector<double> v;
    std::size_t start = 0;
    for (std::size_t comma; v.size() < 5; start = comma + 1) {
        comma = text.find(',', start);
        double d;
        if (!number(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), &d))
            break;
        v.push_back(d);
        if (comma == std::string::npos)
            break;
    }
    if (v.size() != 4) {
        *error = "--bbox takes WEST,SOUTH,EAST,NORTH in degrees";
        return false;
    }
    if (std::fabs(v[0]) > 180 || std::fabs(v[2]) > 180 || std::fabs(v[1]) > 90 || std::fabs(v[3]) > 90 ||
        v[1] >= v[3] || v[0] == v[2]) {
        *error = "--bbox: longitudes go from -180 to 180 and latitudes from -90 to 90, the south below the north "
                 "(a west beyond the east crosses the date line)";
        return false;
    }
    box->west = v[0];
    box->east = v[2];
    box->south = std::max(v[1], -maxLatitude);
    box->north = std::min(v[3], maxLatitude);
    if (box->south >= box->north) {
        *error = "--bbox lies beyond 85.05° north or south, where the map has no tiles";
        return false;
    }
    return true;
}

std::vector<TileRect> AreaBox::tiles(int z) const
{
    if (!crossesDateLine())
        return {rectOf(z, west, south, east, north)};
    TileRect a = rectOf(z, west, south, 180, north), b = rectOf(z, -180, south, east, north);
    // At coarse levels both halves may share columns: one rectangle then.
    if (b.maxX + 1 < a.minX)
        return {a, b};
    a.minX = 0;
    return {a};
}

long long AreaBox::tileCount(int z) const
{
    long long n = 0;
    for (const TileRect& r : tiles(z))
        n += r.count();
    return n;
}

bool AreaBox::idRanges(int z, std::vector<PMTilesPicker::IdRange>* ranges, std::size_t limit) const
{
    std::vector<PMTilesPicker::IdRange> found;
    const std::vector<TileRect> rects = tiles(z);
    for (const TileRect& rect : tiles(z))
        if (!cover(Cover{z, rect, PMTiles::tileId(z, 0, 0), &found, limit}, 0, 0, 0))
            return false;
    std::sort(found.begin(), found.end(),
              [](const PMTilesPicker::IdRange& a, const PMTilesPicker::IdRange& b) { return a.from < b.from; });
    for (const PMTilesPicker::IdRange& r : found) {
        if (!ranges->empty() && ranges->back().to == r.from)
            ranges->back().to = r.to;
        else
            ranges->push_back(r);
    }
    return true;
}
