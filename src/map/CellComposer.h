#ifndef TESSEL_CELLCOMPOSER_H
#define TESSEL_CELLCOMPOSER_H

#include "TileLoader.h"
#include "TerrainPainter.h"
#include "TileReader.h"
#include "VectorPainter.h"

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Makes a cell's picture: the background decoded or, for vector tiles,
// drawn (or, where it is missing,
// the nearest present ancestor's square scaled up, else the placeholder),
// flattened over an opaque backdrop, the overlay composited over it.
class CellComposer : public TileWorker {
public:
    // What shows through a background tile's transparent pixels.
    static constexpr std::uint16_t backdrop = 0xef7d; // (238, 238, 238)

    // What a vector tile or its style skipped is told to `reports`.
    CellComposer(int tileSize, std::shared_ptr<const Bitmap> placeholder, MessageList* reports)
        : tileSize(tileSize), placeholder(std::move(placeholder))
    {
        painter.reports = reports;
    }

    TileResult work(const TileRequest& request) override;

    // Tiles read and decoded so far (any thread may read it).
    std::atomic<unsigned long> decoded{0};
    // Cells that elevations were laid over.
    std::atomic<unsigned long> terrainCells{0};

private:
    bool load(const TileRef& ref, Bitmap* out);
    bool drawAncestor(const AncestorRef& a, Bitmap* out);
    // An ancestor's background, decoded once for the few cells it covers.
    std::shared_ptr<const Bitmap> ancestor(const TileRef& ref);
    void standIn(const TileRequest& request, Bitmap* bg);

    const int tileSize;
    const std::shared_ptr<const Bitmap> placeholder;
    TileReader reader;
    VectorPainter painter;
    TerrainPainter terrain;
    int package = -1;
    std::vector<std::pair<std::string, std::shared_ptr<const Bitmap>>> recentAncestors;
};

#endif
