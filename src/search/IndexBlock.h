#ifndef TESSEL_SEARCH_INDEXBLOCK_H
#define TESSEL_SEARCH_INDEXBLOCK_H

#include <cstdint>
#include <string>
#include <vector>

// A run of neighbouring entries of an index, stored together (deflated):
// the places they lie in, then each entry's kind, position (micro-degrees,
// each a step from the one before), place and names. A name's folded words
// are stored only where they differ from its ASCII lower case.
class IndexBlock {
public:
    struct Item {
        std::uint32_t kind = 0;
        std::int32_t lat = 0, lon = 0;  // micro-degrees
        std::int32_t place = -1;        // into places, -1 for none
        std::vector<std::string> names;
        std::vector<std::string> folded;  // each name's words, joined by spaces
    };
    std::vector<std::string> places;
    std::vector<std::string> placesFolded;
    std::vector<Item> items;

    static const std::size_t maxRawBytes = 8u << 20;
    static const std::size_t maxItems = 1u << 16;
    static const std::size_t maxNames = 64;

    // Fills each `folded` from the names and deflates the block.
    std::string encode();
    // False with *why on anything out of bounds or inconsistent.
    bool decode(const std::string& bytes, std::string* why);

    // The words of an ASCII text as the folding would give them, joined by spaces.
    static std::string asciiWords(const std::string& text);
    static std::string joinedWords(const std::string& text);
};

#endif
