#ifndef TESSEL_ARCHIVEAPI_H
#define TESSEL_ARCHIVEAPI_H

#include "ArchiveSource.h"
#include "MapAPI.h"
#include "TileArchive.h"
#include "VectorRenderer.h"

// A package that is an MBTiles or PMTiles file, read in place. Its levels
// are those the archive holds, each with the extent of its own tiles (Web
// Mercator tiles, rows from the north); one background layer, no overlay.
// The position is kept in "<file>.conf" beside it (`conf`).
// Vector tiles are drawn with the style their schema asks for (or the
// style file beside the archive), light or dark: the two background
// layers, the choice kept with the position. They are offered
// `overzoomLevels` levels past the deepest, drawn from its geometry.
class ArchiveAPI : public MapAPI {
public:
    static constexpr const char* layerName = "archive";
    static constexpr const char* lightName = "vector_light";
    static constexpr const char* darkName = "vector_dark";
    static constexpr int overzoomLevels = VectorRenderer::overzoomLevels;
    static constexpr const char* stylesDir = "media/styles";

    // Opens `path`; null with *error naming the reason when it is not an
    // archive of raster tiles this viewer can show.
    // Without a saved level it opens at the deepest level of data whose
    // bounds fit a view of viewWidth x viewHeight pixels.
    static std::unique_ptr<ArchiveAPI> open(const std::string& path, ConfParser* conf, std::string* error,
                                            int viewWidth = 320, int viewHeight = 240);

    int zoomIn() override;
    int zoomOut() override;
    // Writes "zoom_actual" (the level) and "pos_x", "pos_y" (the world
    // tile), "move_x", "move_y" (the pixel in it) to the position file.
    bool savePosition(const ViewCentre& at) override;
    bool keepLayerChoice() override;
    // One source: the archive, light or dark as the background chosen.
    LayerList shownLayers() const override;
    std::string typeAlias(const std::string& name) override;
    void refreshCopyright() override;
    std::string tileFileNameAt(const std::string& layer, int level, int x, int y) const override;
    LevelArea areaAt(int level) const override;
    bool mercatorLevel(int level, int* z) const override;
    TileRef tileRef(const MapType& layer, int level, int x, int y) const override;
    std::vector<std::string> layers(const char* key) const override;
    bool startPosition(ViewCentre* at) const override;
    bool worldAnchoredZoom() const override { return true; }
    std::string startLayer(const std::vector<std::string>& offered) const override;

    const ArchiveInfo& info() const { return about; }
    // The style file vector tiles are drawn with; empty for raster tiles.
    const std::string& style() const { return stylePath; }

private:
    ArchiveAPI(ConfParser* conf, std::string path, ArchiveInfo about, std::string style, int viewWidth,
               int viewHeight);
    int step(int direction);
    void showLevel(int level);
    int nearestLevel(int z) const;
    // The deepest data level at which the declared bounds fit in a view of
    // width x height pixels, or -1.
    int fillingLevel(int width, int height) const;
    // World pixel (x, y) at the current level as area tile and pixel.
    bool areaPosition(double x, double y, ViewCentre* at) const;

    // The vector levels past the deepest one of data.
    void addOverzoomLevels();

    std::string path;
    ArchiveInfo about;
    std::string stylePath;
    int deepestData = 0; // the deepest level of data (its zoom value)
    std::unique_ptr<ArchiveSource> addressing;
};

#endif
