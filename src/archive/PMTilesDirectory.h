#ifndef TESSEL_PMTILESDIRECTORY_H
#define TESSEL_PMTILESDIRECTORY_H

#include <cstdint>
#include <string>
#include <vector>

// The directories of PMTiles version 3 and its tile ids (Hilbert order
// within each level).
namespace PMTiles {

// A tile or a run of equal tiles (runLength > 0), or a leaf directory
// (runLength 0). Offsets are relative to the data or leaf section.
struct Entry {
    std::uint64_t tileId = 0, offset = 0, length = 0, runLength = 0;
};

// Parses a decompressed directory. False when it is cut short or declares
// more entries than its bytes could hold.
bool parseDirectory(const std::string& bytes, std::vector<Entry>* entries);

// The entry holding `id`: a tile run that covers it or the leaf directory
// that may; null when there is none. Entries are sorted by tileId.
const Entry* findEntry(const std::vector<Entry>& entries, std::uint64_t id);

// Levels 0..maxZoom; ids beyond them are refused.
const int maxZoom = 30;
std::uint64_t tileId(int z, std::uint64_t x, std::uint64_t y);
bool tileFromId(std::uint64_t id, int* z, std::uint64_t* x, std::uint64_t* y);

} // namespace PMTiles

#endif
