#ifndef TESSEL_SEARCH_INDEXBLOCK_H
#define TESSEL_SEARCH_INDEXBLOCK_H

#include <cstdint>
#include <string>
#include <vector>

// A run of neighbouring entries of an index, stored together (LZ4):
// the places they lie in, then each entry's kind, position (micro-degrees,
// each a step from the one before), place and names. A name's folded words
// are stored only where they differ from its ASCII lower case. Decoding
// makes no string per name: texts are spans of one buffer, as searching
// reads many blocks and keeps few names.
class IndexBlock {
public:
    // What the writer gives.
    struct Entry {
        std::uint32_t kind = 0;
        std::int32_t lat = 0, lon = 0;  // micro-degrees
        std::int32_t place = -1;        // into places, -1 for none
        std::vector<std::string> names;
        std::vector<std::string> folded;  // filled by encode(): each name's words, joined by spaces
    };
    std::vector<std::string> places;
    std::vector<std::string> placesFolded;  // filled by encode()
    std::vector<Entry> entries;

    // What decoding gives: spans of `raw`, shown and folded. An ASCII
    // text's folded span is the text itself, matched in any case (see startsWord).
    struct Text {
        std::uint32_t at = 0, size = 0, foldedAt = 0, foldedSize = 0;
        bool ascii = false;
    };
    struct Item {
        std::uint32_t kind = 0;
        std::int32_t lat = 0, lon = 0;
        std::int32_t place = -1;
        std::uint32_t firstName = 0, names = 0;  // into nameTexts
    };
    std::vector<Text> placeTexts, nameTexts;
    std::vector<Item> items;

    static const std::size_t maxRawBytes = 8u << 20;
    static const std::size_t maxItems = 1u << 16;
    static const std::size_t maxNames = 64;

    // Fills each `folded` from the names and deflates the block.
    std::string encode();
    // False with *why on anything out of bounds or inconsistent.
    bool decode(const char* data, std::size_t size, std::string* why);
    bool decode(const std::string& bytes, std::string* why) { return decode(bytes.data(), bytes.size(), why); }

    std::string shown(const Text& t) const { return raw.substr(t.at, t.size); }
    // Whether `word` (folded) starts a word of the text; `first`: its first word.
    bool startsWord(const Text& t, const std::string& word, bool first = false) const;
    std::string name(const Item& item, std::size_t i) const { return shown(nameTexts[item.firstName + i]); }

    // The words of an ASCII text as the folding would give them, joined by spaces.
    // Writes at most 2 × size bytes to `out`; returns how many.
    static std::size_t asciiWords(const char* text, std::size_t size, char* out);
    static std::string asciiWords(const std::string& text);
    static std::string joinedWords(const std::string& text);

private:
    bool readText(const unsigned char** p, const unsigned char* end, Text* t);

    std::string raw;
};

#endif
