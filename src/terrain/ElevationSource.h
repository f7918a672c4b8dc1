#ifndef TESSEL_ELEVATIONSOURCE_H
#define TESSEL_ELEVATIONSOURCE_H

#include "ElevationBlock.h"
#include "TileArchive.h"
#include "TrackPoint.h"

#include <memory>
#include <string>
#include <vector>

// An elevation archive (MBTiles or PMTiles of Terrarium or terrain-RGB
// tiles) read in place: tiles decoded once and kept in a small cache
// shared by every caller, elevations at a place, and the elevations a
// track lacks. One object per thread, as its archive.
class ElevationSource {
public:
    static constexpr std::size_t cachedTiles = 16;

    // Opens `path`; `chosen` overrides what the metadata declares (none:
    // take the declared encoding). Null with *why when the archive cannot
    // be read or declares no encoding and none was chosen.
    static std::unique_ptr<ElevationSource> open(const std::string& path, ElevationEncoding chosen, std::string* why);

    ElevationEncoding encoding() const { return how; }
    int deepest() const { return deepestLevel; }
    const ArchiveInfo& info() const { return archive->info(); }

    // Tile (z, x, y) decoded; null when the archive has none or it is not
    // elevations (the first such reason is kept in problem()).
    std::shared_ptr<const ElevationTile> tile(int z, long long x, long long y);
    // The tile with its neighbours; false when the centre is missing.
    bool block(int z, long long x, long long y, ElevationBlock* out);
    // The elevation at a place, interpolated between the deepest level's
    // samples; false where the archive has no data.
    bool elevationAt(double lon, double lat, double* metres);
    // Gives the points without an elevation the archive's; how many got one.
    std::size_t fill(std::vector<TrackPoint>* points);
    const std::string& problem() const { return firstProblem; }

private:
    ElevationSource() = default;
    struct Cached {
        int z;
        long long x, y;
        std::shared_ptr<const ElevationTile> tile;
    };
    std::unique_ptr<TileArchive> archive;
    ElevationEncoding how = ElevationEncoding::none;
    int deepestLevel = 0;
    // The Mercator y (radians) of a latitude, from the last one projected
    // when it is near.
    double mercatorY(double lat);
    // elevationAt(), inlined where points are filled.
    bool lookUp(double lon, double lat, double* metres);
    float acrossEdge(int z, long long tx, long long ty, const ElevationTile& t, int x, int y);
    const ElevationTile* neighbour(int z, long long x, long long y);

    std::vector<Cached> cache; // most recent first
    std::string firstProblem;
    std::shared_ptr<const ElevationTile> last; // the tile of the last look-up
    long long lastX = -1, lastY = -1;
    std::shared_ptr<const ElevationTile> side; // the neighbour last read across an edge
    bool sideKnown = false;
    int sideZ = 0;
    long long sideX = 0, sideY = 0;
    double projectedLat = 1000, projectedY = 0, projectedSec = 1, projectedTan = 0;
};

#endif
