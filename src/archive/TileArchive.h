#ifndef TESSEL_TILEARCHIVE_H
#define TESSEL_TILEARCHIVE_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What one zoom level of an archive holds: the extent of its tiles (XYZ
// numbering, rows counted from the north) and how many there are.
struct ArchiveLevel {
    int z = 0;
    long long minX = 0, minY = 0, maxX = 0, maxY = 0;
    long long tiles = 0;
};

// What an archive says about itself, read when it is opened.
struct ArchiveInfo {
    std::string name;        // from the metadata; empty when there is none
    std::string attribution; // as stored (may hold HTML)
    std::string format;      // of the tiles: "PNG", "JPEG", "WebP", "GIF", or "pbf" for vector tiles
    std::string metadataJson; // MBTiles' "json" row, PMTiles' metadata (vector_layers)
    std::string encoding;     // MBTiles' "encoding" row: how elevation tiles hold heights
    std::string sampleTile;   // vector archives: the first tile's bytes (its layers name the schema)
    bool hasCentre = false;
    double centreLon = 0, centreLat = 0;
    int centreZoom = -1; // -1: not given
    bool hasBounds = false;
    double west = 0, south = 0, east = 0, north = 0;
    std::vector<ArchiveLevel> levels; // the levels present, coarsest first
};

// A file of map tiles read in place, never written: MBTiles (SQLite) or
// PMTiles version 3 with raster or vector (MVT) tiles. One object per thread: each keeps
// its own open file.
class TileArchive {
public:
    enum class Kind { none, mbtiles, pmtiles };
    // Levels 0..maxZoom only.
    static constexpr int maxZoom = 30;

    // The kind of a regular file, from its first bytes.
    static Kind kindOf(const std::string& path);
    // Why `path`, of no kind, cannot be opened, in words for the user.
    static std::string refusal(const std::string& path);
    // True for names ending in ".mbtiles" or ".pmtiles", in any case.
    static bool hasArchiveName(const std::string& name);
    // What opening reads: everything (the levels, found from the data, and
    // the check that the tiles are raster images this viewer decodes), or
    // only what tile lookups and the metadata's name need (the package
    // list, and readers that only fetch tiles of an archive checked before).
    enum class Reading { whole, tilesOnly };
    // Opens an archive; null with *error naming the reason when it cannot
    // be read or (read whole) cannot be shown.
    static std::unique_ptr<TileArchive> open(const std::string& path, std::string* error,
                                             Reading reading = Reading::whole);

    virtual ~TileArchive() = default;
    TileArchive(const TileArchive&) = delete;
    TileArchive& operator=(const TileArchive&) = delete;

    // The stored bytes of tile (z, x, y) (decompressed when the archive
    // compresses them); false when there is none.
    virtual bool tile(int z, long long x, long long y, std::string* bytes) = 0;

    // Every tile in the archive's own order; `visit` returns false to stop.
    // A run of identical tiles is visited once with its length.
    using Visitor = std::function<bool(int z, long long x, long long y, long long run, const std::string& bytes)>;
    virtual bool forEachTile(const Visitor& visit, std::string* error) = 0;

    // Every tile of level z inside columns minX..maxX and rows minY..maxY,
    // each cell of a run on its own (with the same bytes, read once); in
    // no particular order. `visit` returns false to stop.
    using CellVisitor = std::function<bool(long long x, long long y, const std::string& bytes)>;
    virtual bool forEachTileAt(int z, long long minX, long long minY, long long maxX, long long maxY,
                               const CellVisitor& visit, std::string* error) = 0;

    const ArchiveInfo& info() const { return about; }

protected:
    TileArchive() = default;
    // Checks the tile format the archive declares or its first tile shows.
    bool acceptFormat(const std::string& declared, const std::string& sample, std::string* error);
    // Levels minZoom..maxZoom, each's extent the tiles that cover the
    // declared bounds (for archives too large to measure when opened).
    void levelsFromBounds(int minZoom, int maxZoom);

    ArchiveInfo about;
};

#endif
