#ifndef TESSEL_MVTREADER_H
#define TESSEL_MVTREADER_H

#include "VectorTile.h"

#include <cstddef>
#include <string>
#include <vector>

// Reads Mapbox Vector Tiles (version 2.1; gzip-compressed or bare) with
// protozero. A tile that is not a valid protobuf message is refused; a
// feature or tag breaking the rules inside a valid message is skipped and
// counted in VectorTile::skipped. Everything is bounded: the inflated size,
// the vertices of the whole tile, its layers, the memory it decodes to, and
// coordinates far outside the extent.
namespace MvtReader {

const std::size_t maxBytes = 16u << 20;
const std::size_t maxVertices = 300000;
// Layers past this many are skipped (real tiles hold a few dozen).
const std::size_t maxLayers = 256;
// A tile whose layers, features, keys and values would take more memory
// than this is refused whole.
const std::size_t maxDecodedBytes = 32u << 20;
// Coordinates more than this many extents outside the tile are refused.
const int maxOutside = 8;

// Only the layers named in `wanted` are decoded when it is given.
bool read(const std::string& bytes, VectorTile* out, std::string* error,
          const std::vector<std::string>* wanted = nullptr);

// The names of the tile's layers, none decoded (choosing a style reads
// a sample tile whole otherwise); false when it is not a vector tile.
bool layerNames(const std::string& bytes, std::vector<std::string>* out);

} // namespace MvtReader

#endif
