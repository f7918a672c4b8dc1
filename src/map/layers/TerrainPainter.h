#ifndef TESSEL_TERRAINPAINTER_H
#define TESSEL_TERRAINPAINTER_H

#include "Bitmap.h"
#include "ElevationGrid.h"
#include "ElevationSource.h"
#include "TileRequest.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Lays an elevation archive over a cell on the loader thread: hill shading
// (darkness as alpha) and contour lines, both from the cell's tile and its
// neighbours' edges, so cells meet without a seam. A level past the
// archive's deepest is drawn from its elevations upsampled.
class TerrainPainter {
public:
    // Archives kept open (each keeps a few decoded tiles).
    static constexpr std::size_t sourcesKept = 2;

    // Shading and contours of `ref` over the opaque `cell` at `opacity`
    // percent; false (the cell as it was) where the archive has no tile.
    bool paint(const TileRef& ref, int opacity, Bitmap* cell);
    // Forgets every archive (another package was opened).
    void clear() { sources.clear(); }

private:
    ElevationSource* source(const TileRef& ref);
    static void drawContours(const ElevationGrid& grid, int z, int opacity, Bitmap* cell);

    std::vector<std::pair<std::string, std::unique_ptr<ElevationSource>>> sources; // most recent first
};

#endif
