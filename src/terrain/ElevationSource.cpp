#include "ElevationSource.h"


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

// Inlined into the look-up below: a track's fill calls it 100 000 times.
__attribute__((always_inline)) inline double ElevationSource::mercatorY(double lat)
{
    // Track points come in runs a few metres apart: within a hundredth of
    // a degree of the last latitude projected, its series to the second
    // order is exact to a thousandth of a pixel at level 20.
    const double radians = M_PI / 180, d = (lat - projectedLat) * radians;
    if (std::fabs(lat - projectedLat) > 0.01) {
        const double phi = lat * radians;
        projectedLat = lat;
        projectedY = std::log(std::tan(M_PI / 4 + phi / 2));
        projectedSec = 1 / std::cos(phi);
        projectedTan = std::tan(phi);
        return projectedY;
    }
    return projectedY + projectedSec * d + 0.5 * projectedSec * projectedTan * d * d;
}

__attribute__((always_inline)) inline bool ElevationSource::lookUp(double lon, double lat, double* metres)
{
    if (!(lat >= -85.05 && lat <= 85.05 && lon >= -180 && lon <= 180))
        return false;
    const int z = deepestLevel;
    const long long n = 1LL << z;
    const double world = 256.0 * static_cast<double>(n);
    const double px = (lon + 180) / 360 * world, py = (0.5 - mercatorY(lat) / (2 * M_PI)) * world;
    const long long tx = std::clamp(static_cast<long long>(px / 256), 0LL, n - 1);
    const long long ty = std::clamp(static_cast<long long>(py / 256), 0LL, n - 1);
    if (!last || lastX != tx || lastY != ty) {
        last = tile(z, tx, ty);
        lastX = tx;
        lastY = ty;
    }
    const ElevationTile* t = last.get();
    if (!t)
        return false;
    const int edge = t->edge;
    const double scale = edge / 256.0;
    const double u = (px - static_cast<double>(tx) * 256.0) * scale - 0.5, v = (py - static_cast<double>(ty) * 256.0) * scale - 0.5;
    // floor() without the call: u and v lie within a tile's samples.
    int x0 = static_cast<int>(u), y0 = static_cast<int>(v);
    x0 -= x0 > u;
    y0 -= y0 > v;
    const float fx = static_cast<float>(u - x0), fy = static_cast<float>(v - y0);
    float c[4];
    if (x0 >= 0 && y0 >= 0 && x0 + 1 < edge && y0 + 1 < edge) {
        const float* top = &t->metres[static_cast<std::size_t>(y0) * edge + x0];
        c[0] = top[0], c[1] = top[1], c[2] = top[edge], c[3] = top[edge + 1];
    } else {
        for (int i = 0; i < 4; ++i)
            c[i] = acrossEdge(z, tx, ty, *t, x0 + (i & 1), y0 + (i >> 1));
    }
    const float e = (c[0] * (1 - fx) + c[1] * fx) * (1 - fy) + (c[2] * (1 - fx) + c[3] * fx) * fy;
    if (e != e)
        return false;
    *metres = e;
    return true;
}

// A track along a tile's edge asks for the same neighbour at every point.
const ElevationTile* ElevationSource::neighbour(int z, long long x, long long y)
{
    if (!sideKnown || sideZ != z || sideX != x || sideY != y) {
        side = tile(z, x, y);
        sideKnown = true;
        sideZ = z;
        sideX = x;
        sideY = y;
    }
    return side.get();
}

float ElevationSource::acrossEdge(int z, long long tx, long long ty, const ElevationTile& t, int x, int y)
{
    // Past the tile's edge the neighbour's samples (the world wraps east to
    // west); without one, the edge's own sample stands in.
    const int edge = t.edge;
    const long long n = 1LL << z;
    const long long nx = ((tx + (x < 0 ? -1 : x >= edge ? 1 : 0)) % n + n) % n;
    const long long ny = ty + (y < 0 ? -1 : y >= edge ? 1 : 0);
    const ElevationTile* other = (nx != tx || ny != ty) && ny >= 0 && ny < n ? neighbour(z, nx, ny) : nullptr;
    if (other && other->edge == edge)
        return other->at((x + edge) % edge, (y + edge) % edge);
    return t.at(std::clamp(x, 0, edge - 1), std::clamp(y, 0, edge - 1));
}

bool ElevationSource::elevationAt(double lon, double lat, double* metres)
{
    return lookUp(lon, lat, metres);
}

std::size_t ElevationSource::fill(std::vector<TrackPoint>* points)
{
    std::size_t filled = 0;
    for (TrackPoint& p : *points)
        if (!p.hasElevation() && lookUp(p.lon, p.lat, &p.elevation))
            ++filled;
    return filled;
}
