#ifndef TESSEL_ARCHIVESOURCE_H
#define TESSEL_ARCHIVESOURCE_H

#include "LayerSource.h"
#include "TileArchive.h"

// An MBTiles or PMTiles file as a source: its levels are Web Mercator
// levels, each with the extent of its own tiles (rows from the north).
// Vector tiles are drawn with `style`, light or dark; levels past
// `deepestData` show a square of a tile of that level, drawn from its
// geometry.
class ArchiveSource : public LayerSource {
public:
    ArchiveSource(std::string path, std::vector<ArchiveLevel> levels, std::string style, int deepestData)
        : path(std::move(path)), levels(std::move(levels)), style(std::move(style)), deepestData(deepestData)
    {
    }

    int levelCount() const override { return static_cast<int>(levels.size()); }
    LevelArea areaAt(int level) const override;
    TileRef tileRef(int level, int x, int y) const override;
    int levelFactor(int from, int to) const override;
    std::string credits() const override { return credit; }
    std::string name() const override { return path + (dark ? "|dark" : "|light"); }
    // World tile (x, y) of level z: none where the archive has no level z
    // or the tile lies outside its extent.
    TileRef worldTile(int z, long long x, long long y) const;

    bool dark = false;
    std::string credit;
    // Levels past deepestData drawn from it (vector tiles, elevations).
    int overZoomLevels = 0;
    // Elevation tiles: their encoding (see TileRef::elevation); 0 for none.
    int elevation = 0;

private:
    std::string path;
    std::vector<ArchiveLevel> levels;
    std::string style;
    int deepestData;
};

#endif
