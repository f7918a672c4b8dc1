#ifndef TESSEL_TILEREQUEST_H
#define TESSEL_TILEREQUEST_H

#include "Bitmap.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One cell of one view: the shown layers (`source`, one number per package
// and layer choice), the level's zoom value and the tile's world column
// and row (a quadtree numbering: a tile's parent is (x / 2, y / 2) one
// level out, rounding down).
struct CellKey {
    int source = 0;
    int level = 0;
    long long x = 0, y = 0;

    bool operator==(const CellKey& o) const { return source == o.source && level == o.level && x == o.x && y == o.y; }
    bool operator!=(const CellKey& o) const { return !(*this == o); }
};

struct CellKeyHash {
    std::size_t operator()(const CellKey& k) const
    {
        std::size_t h = std::hash<long long>()(k.x * 1000003LL + k.y);
        h ^= std::hash<int>()(k.source * 131 + k.level) + 0x9e3779b9 + (h << 6) + (h >> 2);
        return h;
    }
};

// Where the encoded bytes of one tile of one layer are.
struct TileRef {
    enum class Kind { none, file, packed, archive };
    Kind kind = Kind::none;
    std::string path;      // file: the tile file; packed: the package directory; archive: its file
    std::string layer;     // packed: the layer directory
    int zoom = 0;          // packed: the zoom value in the part names; archive: the level
    long long index = 0;   // packed: x + width * y of the level's area
    long long x = 0, y = 0; // archive: the tile's column and row (rows from the north)
    // Vector tiles: drawn with this style file (dark: its colours turned
    // dark), the picture showing the square (subX, subY) of the 2^overZoom
    // by 2^overZoom squares the tile is cut into, at level zoom + overZoom.
    std::string style;
    bool dark = false;
    int overZoom = 0;
    long long subX = 0, subY = 0;
    // Elevation tiles (1 Terrarium, 2 terrain-RGB): drawn as hill shading
    // and contour lines over the cell, past the deepest level (overZoom,
    // subX, subY as above) from the elevations upsampled.
    int elevation = 0;

    bool present() const { return kind != Kind::none; }
    bool vector() const { return !style.empty(); }
    // Names the bytes (not how they are drawn).
    std::string name() const
    {
        return path + "|" + layer + "|" + std::to_string(zoom) + "|" + std::to_string(index) + "|" + std::to_string(x) +
               "|" + std::to_string(y);
    }
    // Names the picture.
    std::string pictureName() const
    {
        return name() + "|" + style + (dark ? "|dark|" : "|light|") + std::to_string(elevation) + "|" +
               std::to_string(overZoom) + "|" +
               std::to_string(subX) + "|" + std::to_string(subY);
    }
};

// A coarser tile whose square (x, y, edge) covers the cell, for when the
// cell's own background is missing.
struct AncestorRef {
    TileRef bg;
    int x = 0, y = 0, edge = 0;
};

// A tile laid over the background with an opacity in percent.
struct OverlayRef {
    TileRef ref;
    int opacity = 100;
};

// Everything the loader needs to make one cell's picture, without asking
// the viewport again.
struct TileRequest {
    CellKey key;
    int package = 0; // changes whenever a package is opened
    TileRef bg;
    std::vector<OverlayRef> overlays; // each over those before it
    std::vector<AncestorRef> ancestors; // nearest first; empty: placeholder
};

struct TileResult {
    CellKey key;
    int package = 0;
    std::shared_ptr<Bitmap> bitmap;
    bool standIn = false; // the background was missing: an ancestor or the placeholder stands in
};

#endif
