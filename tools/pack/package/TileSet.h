#ifndef TESSEL_PACK_TILESET_H
#define TESSEL_PACK_TILESET_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

// A tile of the XYZ scheme: zoom Z, column X, row Y counted from the north.
struct TileKey {
    int z = 0, x = 0, y = 0;
    bool operator<(const TileKey& o) const { return std::tie(z, x, y) < std::tie(o.z, o.x, o.y); }
};

// Encoded tiles read from a source, as they were stored (never re-encoded).
struct TileSet {
    std::map<TileKey, std::string> tiles;
    std::string name;        // from the source's metadata, if any
    std::string attribution; // likewise (may hold HTML)
    std::vector<std::string> warnings;
};

// Folders of Z/X/Y tiles (archives are read through TileSource, in place).
namespace TileSources {

// A folder Z/X/Y.png, .jpg, .webp... Tiles the viewer cannot decode are skipped.
bool readFolder(const std::string& path, TileSet* set, std::string* error);
// The tile files of a folder (of level onlyZ, or all with -1), by name
// only; `visit` returns false to stop.
using FolderVisitor = std::function<bool(int z, int x, int y, const std::string& path)>;
void walkFolder(const std::string& path, int onlyZ, const FolderVisitor& visit);
} // namespace TileSources

#endif
