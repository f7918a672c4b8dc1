#ifndef TESSEL_PACKEDMAP_H
#define TESSEL_PACKEDMAP_H

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// The .map part files of packed packages. Each layer and zoom level is split
// into parts numbered from 0 ("<zoom>.map", then "<zoom>-<part>.map"), each
// holding a consecutive range of tile indices (x + width * y):
//
//   0  "MAP"          magic
//   3  2              version
//   4  tileCount      indices of the whole level        (32-bit big-endian)
//   8  firstIndex     first index in this part
//   12 endIndex       index just past the last one
//   16 offsets        endIndex - firstIndex + 1 absolute offsets; tile i runs
//                     from entry i - firstIndex to the next; equal = absent
//   .. tile data      encoded images
namespace PackedMap {

const char magic[3] = {'M', 'A', 'P'};
const int version = 2;
const std::size_t headerSize = 16;
// No tile of a sane package comes near this; larger ones are refused.
const std::uint32_t maxTileBytes = 16u << 20;

struct Header {
    int tileCount = 0;
    int firstIndex = 0;
    int endIndex = 0;
    std::uint64_t fileSize = 0;
    bool cutShort = false; // offsets past the end: the file lost its tail
};

// "<directory><layer>/<zoom>.map" for part 0, "<directory><layer>/<zoom>-<part>.map" after.
std::string partFileName(const std::string& directory, const std::string& layer, int zoom, int part);

// Reads and checks the header and the whole offset table of an open part:
// the magic and version, 0 <= firstIndex <= endIndex <= tileCount, a table
// that fits the file, offsets that start after the table and never
// decrease. False when anything is off. Offsets past the end set cutShort:
// the tiles wholly inside the file are still read.
bool readHeader(std::istream& in, Header* header, std::string* error = nullptr);

// The encoded bytes of tile `index` of a part whose header passed
// readHeader(). False when the index is not in the part, the tile is absent
// or larger than maxTileBytes, or the file cannot be read.
bool readTile(std::istream& in, const Header& header, int index, std::string* bytes);

// Writes the parts of one level: tiles[i] holds the encoded tile of index i,
// empty for an absent tile. A new part begins before a tile that would take
// a part past `partLimit` bytes. Each part is written beside its final name
// and renamed into place. Returns the number of parts, or -1 with *error set.
int writeLevel(const std::string& directory, const std::string& layer, int zoom,
               const std::vector<std::string>& tiles, std::uint64_t partLimit, std::string* error);

// The tiles of a level by index for writers that do not hold them all:
// size(i) is 0 for an absent tile; read(i) gives its bytes.
struct LevelTiles {
    int count = 0;
    std::function<std::uint64_t(int index)> size;
    std::function<bool(int index, std::string* bytes)> read;
};
int writeLevel(const std::string& directory, const std::string& layer, int zoom, const LevelTiles& tiles,
               std::uint64_t partLimit, std::string* error);

} // namespace PackedMap

#endif
