#ifndef TESSEL_PACK_RENDEREDSOURCE_H
#define TESSEL_PACK_RENDEREDSOURCE_H

#include "TileSource.h"
#include "VectorPainter.h"

#include <memory>
#include <string>

// The tiles of a vector archive drawn as the viewer draws them, as PNG: the
// archive's levels and the levels the viewer offers past its deepest one,
// drawn a tile at a time as they are asked for.
class RenderedSource : public TileSource {
public:
    // `style`: a style file; empty: the one the viewer would choose from
    // the styles in `stylesDir`.
    static std::unique_ptr<RenderedSource> open(const std::string& path, const std::string& style,
                                                const std::string& stylesDir, bool dark, std::string* error);

    bool forEachTile(int z, long long minX, long long minY, long long maxX, long long maxY,
                     const TileArchive::CellVisitor& visit, std::string* error) override;

    std::string style; // the style file drawn with
    unsigned long long drawn = 0;

private:
    RenderedSource() = default;
    // The picture of square (subX, subY) of 2^overZoom of a data tile.
    bool draw(const std::string& name, const std::string& bytes, int z, int overZoom, long long subX, long long subY,
              std::string* png, std::string* error);

    std::unique_ptr<TileArchive> archive;
    MessageList reports; // what the painter skipped, printed after each drawing
    VectorPainter painter;
    bool dark = false;
    int deepest = 0;
    // The last whole tile drawn: runs of equal tiles (the sea) are drawn once.
    std::string lastBytes, lastPng;
    int lastZ = -1;
};

#endif
