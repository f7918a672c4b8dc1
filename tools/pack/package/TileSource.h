#ifndef TESSEL_PACK_TILESOURCE_H
#define TESSEL_PACK_TILESOURCE_H

#include "TileArchive.h"
#include "TileSet.h"

#include <memory>
#include <string>
#include <vector>

// Where an import takes its tiles from, one level at a time: an archive
// read in place (never all in memory), or tiles already in memory (a
// folder of Z/X/Y files, or tests' sets).
class TileSource {
public:
    virtual ~TileSource() = default;

    // An archive (MBTiles, PMTiles) or a folder, by what `path` is.
    static std::unique_ptr<TileSource> open(const std::string& path, std::string* error);
    static std::unique_ptr<TileSource> of(const TileSet& set);

    // The levels present with their extents, coarsest first.
    const std::vector<ArchiveLevel>& levels() const { return present; }
    // Every tile of level z in the box; false with *error when the source
    // cannot be read.
    virtual bool forEachTile(int z, long long minX, long long minY, long long maxX, long long maxY,
                             const TileArchive::CellVisitor& visit, std::string* error) = 0;

    std::string label;       // the file, for messages
    std::string name;        // from the metadata, if any
    std::string attribution; // likewise (may hold HTML)
    std::string format;      // "PNG", "JPEG", ... of the first tile

protected:
    std::vector<ArchiveLevel> present;
};

#endif
