#ifndef TESSEL_SEARCH_POSTINGLIST_H
#define TESSEL_SEARCH_POSTINGLIST_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

// A word's (or a short prefix's) list of blocks as the index stores it:
// rising block numbers by their differences, as varints. In a word list
// each number is followed by a byte whose bits say which eighths of the
// block (by entry) hold the word, so that a query of several words reads
// only blocks where one eighth holds them all, not every block where each
// word appears somewhere.
struct PostingList {
    static constexpr std::size_t eighths = 8;
    static constexpr std::uint8_t wholeBlock = 0xFF;

    // The eighth of a block of `count` entries that entry `i` lies in.
    static std::uint8_t eighthOf(std::size_t i, std::size_t count)
    {
        return static_cast<std::uint8_t>(1u << (count ? i * eighths / count : 0));
    }
    // `ids` rising; `bits` one per id for a word list, null for a prefix list.
    static std::string encode(const std::vector<std::uint32_t>& ids, const std::vector<std::uint8_t>* bits);
    // ORs each listed block's bits (wholeBlock for a prefix list) into
    // into[block]. False when the list is damaged: a number past
    // `blockCount`, not rising, no bits, or cut.
    static bool addTo(const void* data, std::size_t size, bool withBits, std::size_t blockCount, std::uint8_t* into);
    // Writes the words and prefixes tables of `out` from the scratch
    // file's post table (a row per word or prefix, block and side).
    static bool writeAll(sqlite3* scratch, sqlite3* out, std::string* why);
};


#endif
