#ifndef TESSEL_PMTILESDIRECTORY_H
#define TESSEL_PMTILESDIRECTORY_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The directories of PMTiles version 3 and its tile ids (Hilbert order
// within each level).
namespace PMTiles {

// The bounds every reader of PMTiles keeps, the viewer's, extract's and
// remote reads alike: a directory inflates to at most maxDirectoryBytes
// (the root and the metadata are stored within it too), a tile to at most
// maxTileBytes; a walk or a pick visits at most maxEntriesVisited entries
// through at most maxLeafDepth levels of leaves.
const std::size_t maxDirectoryBytes = 4u << 20;
const std::size_t maxTileBytes = 16u << 20;
const std::uint64_t maxEntriesVisited = 8000000;
const int maxLeafDepth = 3;

// A tile or a run of equal tiles (runLength > 0), or a leaf directory
// (runLength 0). Offsets are relative to the data or leaf section.
struct Entry {
    std::uint64_t tileId = 0, offset = 0, length = 0, runLength = 0;
};

// Parses a decompressed directory. False when it is cut short, declares
// more entries than its bytes could hold, has bytes left over, or its ids
// do not increase or wrap. A directory of more than maxEntries entries is
// refused before any is held, with *overBudget set when given.
bool parseDirectory(const std::string& bytes, std::vector<Entry>* entries, std::uint64_t maxEntries = ~0ull,
                    bool* overBudget = nullptr);

// A directory as stored (gzip-compressed when `gzipped`), inflated within
// maxDirectoryBytes and parsed with at most maxEntries entries.
bool readDirectory(const std::string& stored, bool gzipped, std::vector<Entry>* entries,
                   std::uint64_t maxEntries = ~0ull, bool* overBudget = nullptr);

// A directory as stored (before compression): the inverse of parseDirectory.
// An offset right after the previous entry's data is written as 0.
std::string serializeDirectory(const std::vector<Entry>& entries);

// The entry holding `id`: a tile run that covers it or the leaf directory
// that may; null when there is none. Entries are sorted by tileId.
const Entry* findEntry(const std::vector<Entry>& entries, std::uint64_t id);

// Levels 0..maxZoom; ids beyond them are refused.
const int maxZoom = 30;
std::uint64_t tileId(int z, std::uint64_t x, std::uint64_t y);
bool tileFromId(std::uint64_t id, int* z, std::uint64_t* x, std::uint64_t* y);

// The tiles of a run of ids as aligned squares: 4^k ids from a multiple of
// 4^k are a square of 2^k tiles on a side. A run of any length makes at
// most a few squares per level and size, so runs are measured and cut to a
// box without visiting their ids one by one.
struct Square {
    int z;
    std::uint64_t x, y, size; // the north-west tile and the side
};
void forEachSquare(std::uint64_t first, std::uint64_t count, const std::function<void(const Square&)>& visit);

} // namespace PMTiles

#endif
