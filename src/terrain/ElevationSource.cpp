#include "ElevationSource.h"

#include "Mercator.h"

#include <algorithm>
#include <cmath>

std::unique_ptr<ElevationSource> ElevationSource::open(const std::string& path, ElevationEncoding chosen,
                                                       std::string* why)
{
    std::unique_ptr<ElevationSource> s(new ElevationSource);
    s->archive = TileArchive::open(path, why);
    if (!s->archive)
        return nullptr;
    const ArchiveInfo& info = s->archive->info();
    s->how = chosen != ElevationEncoding::none ? chosen : Elevations::encodingOf(info);
    if (s->how == ElevationEncoding::none) {
        *why = "declares no elevation encoding (metadata \"encoding\": terrarium or mapbox)";
        return nullptr;
    }
    if (info.format == "pbf" || info.levels.empty()) {
        *why = info.levels.empty() ? "holds no tiles" : "holds vector tiles, not elevations";
        return nullptr;
    }
    s->deepestLevel = info.levels.back().z;
    return s;
}

std::shared_ptr<const ElevationTile> ElevationSource::tile(int z, long long x, long long y)
{
    for (std::size_t i = 0; i < cache.size(); ++i)
        if (cache[i].z == z && cache[i].x == x && cache[i].y == y) {
            std::rotate(cache.begin(), cache.begin() + static_cast<long>(i), cache.begin() + static_cast<long>(i) + 1);
            return cache[0].tile;
        }
    std::shared_ptr<ElevationTile> decoded;
    std::string bytes, why;
    if (archive->tile(z, x, y, &bytes)) {
        decoded = std::make_shared<ElevationTile>();
        if (!ElevationTile::decode(bytes, how, decoded.get(), &why)) {
            if (firstProblem.empty())
                firstProblem = "tile " + std::to_string(z) + "/" + std::to_string(x) + "/" + std::to_string(y) + ": " + why;
            decoded.reset();
        }
    }
    if (cache.size() >= cachedTiles)
        cache.pop_back();
    cache.insert(cache.begin(), Cached{z, x, y, decoded});
    return decoded;
}

bool ElevationSource::block(int z, long long x, long long y, ElevationBlock* out)
{
    const long long n = 1LL << z;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const long long ty = y + r - 1, tx = ((x + c - 1) % n + n) % n; // the world wraps east to west
            out->tiles[r][c] = ty < 0 || ty >= n ? nullptr : tile(z, tx, ty);
        }
    return out->centre() != nullptr;
}

bool ElevationSource::elevationAt(double lon, double lat, double* metres)
{
    if (!(lat >= -85.05 && lat <= 85.05 && lon >= -180 && lon <= 180))
        return false;
    const int z = deepestLevel;
    double px, py;
    Mercator::toPixel(lon, lat, z, &px, &py);
    const long long n = 1LL << z;
    const long long tx = std::clamp(static_cast<long long>(px / 256), 0LL, n - 1);
    const long long ty = std::clamp(static_cast<long long>(py / 256), 0LL, n - 1);
    const std::shared_ptr<const ElevationTile> t = tile(z, tx, ty);
    if (!t)
        return false;
    const int edge = t->edge;
    const double scale = edge / 256.0;
    const double u = (px - tx * 256.0) * scale - 0.5, v = (py - ty * 256.0) * scale - 0.5;
    const int x0 = static_cast<int>(std::floor(u)), y0 = static_cast<int>(std::floor(v));
    const float fx = static_cast<float>(u - x0), fy = static_cast<float>(v - y0);
    // Samples past the tile's edge come from its neighbour (the world wraps
    // east to west); without one, the edge's own sample stands in.
    auto at = [&](int x, int y) {
        const ElevationTile* in = t.get();
        std::shared_ptr<const ElevationTile> other;
        if (x < 0 || y < 0 || x >= edge || y >= edge) {
            const long long nx = ((tx + (x < 0 ? -1 : x >= edge ? 1 : 0)) % n + n) % n;
            const long long ny = ty + (y < 0 ? -1 : y >= edge ? 1 : 0);
            other = ny >= 0 && ny < n ? tile(z, nx, ny) : nullptr;
            if (other && other->edge == edge) {
                in = other.get();
                x = (x + edge) % edge;
                y = (y + edge) % edge;
            }
        }
        return in->at(std::clamp(x, 0, edge - 1), std::clamp(y, 0, edge - 1));
    };
    const float e = (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
                    (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
    if (e != e)
        return false;
    *metres = e;
    return true;
}

std::size_t ElevationSource::fill(std::vector<TrackPoint>* points)
{
    std::size_t filled = 0;
    for (TrackPoint& p : *points)
        if (!p.hasElevation() && elevationAt(p.lon, p.lat, &p.elevation))
            ++filled;
    return filled;
}
