#ifndef TESSEL_VECTORPAINTER_H
#define TESSEL_VECTORPAINTER_H

#include "MessageList.h"
#include "VectorRenderer.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// Turns a vector tile's bytes into a picture on the loader's thread (or
// the toolbox's): styles are read once per file and kept, the last few
// decoded tiles are kept too (bounded in count and in bytes), so the 4^k
// pictures cut from one data tile past its deepest level decode it once.
// What a tile or style skipped is told once to `reports`, naming it; the
// program says where it shows.
class VectorPainter {
public:
    static constexpr std::size_t tilesKept = 4;
    // The tiles kept take no more memory than this together (the newest is
    // kept whatever its size: it is being drawn).
    static constexpr std::size_t keptBytes = 32u << 20;

    // `tileName` names the data tile's bytes (equal names, equal bytes);
    // they are not looked at when the tile is held decoded.
    bool paint(const std::string& tileName, const std::string& bytes, const std::string& stylePath, bool dark,
               const TileView& view, Bitmap* out, std::string* error);

    // The style of a file (turned dark when asked), read on first use; a
    // file that cannot be read gives an empty style (the paper only).
    const VectorStyle& style(const std::string& path, bool dark);

    // Whether the tile is held decoded for the style (the layers a style
    // never draws are not decoded).
    bool holds(const std::string& tileName, const std::string& stylePath) const;

    // Forgets the styles and tiles read (another package: files may have changed).
    void clear();

    // Where what a style or tile skipped is told (may be shared by threads);
    // nowhere when null.
    MessageList* reports = nullptr;

private:
    void tell(std::string text);
    std::shared_ptr<const VectorTile> tile(const std::string& name, const std::string& bytes, const std::string& stylePath,
                                           bool dark, std::string* error);

    std::vector<std::pair<std::string, std::unique_ptr<VectorStyle>>> styles;
    struct Kept {
        std::string name;
        std::shared_ptr<const VectorTile> tile;
        std::size_t bytes;
    };
    std::vector<Kept> tiles; // newest first
    static constexpr std::size_t givenUpKept = 64;
    std::vector<std::string> givenUp; // pictures whose work passed the budget, newest first
};

#endif
