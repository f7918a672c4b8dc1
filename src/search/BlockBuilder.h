#ifndef TESSEL_SEARCH_BLOCKBUILDER_H
#define TESSEL_SEARCH_BLOCKBUILDER_H

#include "IndexBlock.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

// Gathers the entries of one block as they come in Hilbert order, and
// gives the block's bytes, its box, the words its names and places hold
// with the eighths of the block that hold each (PostingList), and their
// short prefixes (what the index lists per block).
class BlockBuilder {
public:
    static const std::size_t prefixLength = 3;  // prefixes of 1 to 3 characters are listed

    void add(std::uint32_t kind, std::int32_t lat, std::int32_t lon, const std::string& place,
             const std::vector<std::string>& names);
    std::size_t size() const { return block.entries.size(); }
    // Encodes the block and empties the builder.
    std::string take();

    std::int32_t south = 0, west = 0, north = 0, east = 0;
    std::map<std::string, std::uint8_t> nameWords, placeWords;
    std::set<std::string> namePrefixes, placePrefixes;

private:
    IndexBlock block;
};

#endif
