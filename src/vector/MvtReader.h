#ifndef TESSEL_MVTREADER_H
#define TESSEL_MVTREADER_H

#include "VectorTile.h"

#include <cstddef>
#include <string>

// Reads Mapbox Vector Tiles (version 2.1; gzip-compressed or bare) with
// protozero. A tile that is not a valid protobuf message is refused; a
// feature or tag breaking the rules inside a valid message is skipped and
// counted in VectorTile::skipped. Everything is bounded: the inflated size,
// the vertices of the whole tile, and coordinates far outside the extent.
namespace MvtReader {

const std::size_t maxBytes = 16u << 20;
const std::size_t maxVertices = 300000;
// Coordinates more than this many extents outside the tile are refused.
const int maxOutside = 8;

bool read(const std::string& bytes, VectorTile* out, std::string* error);

} // namespace MvtReader

#endif
