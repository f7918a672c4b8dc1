#ifndef TESSEL_LAYERSOURCE_H
#define TESSEL_LAYERSOURCE_H

#include "TileRequest.h"

#include <memory>
#include <string>
#include <vector>

// A level's area and where it lies in the world's quadtree numbering (see
// CellKey): area (0, 0) is world tile (worldX, worldY).
struct LevelArea {
    int zoomValue = 0;
    long long worldX = 0, worldY = 0;
    int width = 0, height = 0;
};

// What the tile pipeline needs of one shown layer, and nothing more: the
// levels and their areas, where the bytes of a tile are, the factor between
// two levels, the credits. Levels are the view's (the base's): an overlay
// answers for the base's levels and areas.
class LayerSource {
public:
    virtual ~LayerSource() = default;
    virtual int levelCount() const = 0;
    virtual LevelArea areaAt(int level) const = 0;
    // The tile at area position (x, y) of `level`; none outside the area.
    virtual TileRef tileRef(int level, int x, int y) const = 0;
    // 2 to the number of zoom steps between two levels; 0 when it does not
    // fit an int.
    virtual int levelFactor(int from, int to) const = 0;
    // The attribution line the source asks for; empty for none.
    virtual std::string credits() const = 0;
    // Names what the layer shows, so the cache keeps two choices apart.
    virtual std::string name() const = 0;
};

// A source on the screen with its opacity in percent. A view shows a list:
// the base first, overlays after, each over those before it.
struct ShownLayer {
    std::shared_ptr<const LayerSource> source;
    int opacity = 100;
};
using LayerList = std::vector<ShownLayer>;

#endif
