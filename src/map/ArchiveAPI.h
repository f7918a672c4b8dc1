#ifndef TESSEL_ARCHIVEAPI_H
#define TESSEL_ARCHIVEAPI_H

#include "MapAPI.h"
#include "TileArchive.h"

// A package that is an MBTiles or PMTiles file, read in place. Its levels
// are those the archive holds, each with the extent of its own tiles (Web
// Mercator tiles, rows from the north); one background layer, no overlay.
// The position is kept in "<file>.conf" beside it (`conf`).
class ArchiveAPI : public MapAPI {
public:
    static constexpr const char* layerName = "archive";

    // Opens `path`; null with *error naming the reason when it is not an
    // archive of raster tiles this viewer can show.
    static std::unique_ptr<ArchiveAPI> open(const std::string& path, ConfParser* conf, std::string* error);

    int zoomIn() override;
    int zoomOut() override;
    // Writes "zoom_actual" (the level) and "pos_x", "pos_y" (the world
    // tile), "move_x", "move_y" (the pixel in it) to the position file.
    bool savePosition(int tileX, int tileY, int pixelX, int pixelY) override;
    std::string typeAlias(const std::string& name) override;
    void refreshCopyright() override;
    std::string tileFileNameAt(const std::string& layer, int level, int x, int y) const override;
    LevelArea areaAt(int level) const override;
    bool mercatorLevel(int level, int* z) const override;
    TileRef tileRef(const MapType& layer, int level, int x, int y) const override;
    std::vector<std::string> layers(const char* key) const override;
    bool startPosition(int* tileX, int* tileY, int* pixelX, int* pixelY) const override;
    bool worldAnchoredZoom() const override { return true; }

    const ArchiveInfo& info() const { return about; }

private:
    ArchiveAPI(ConfParser* conf, std::string path, ArchiveInfo about);
    int step(int direction);
    void showLevel(int level);
    int nearestLevel(int z) const;
    // World pixel (x, y) at the current level as area tile and pixel.
    bool areaPosition(double x, double y, int* tileX, int* tileY, int* pixelX, int* pixelY) const;

    std::string path;
    ArchiveInfo about;
};

#endif
