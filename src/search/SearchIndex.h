#ifndef TESSEL_SEARCH_SEARCHINDEX_H
#define TESSEL_SEARCH_SEARCHINDEX_H

#include "IndexBlock.h"
#include "SearchResult.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A search index opened read-only (immutable: SQLite neither writes nor
// locks it) and answering queries: every word of the query is the start
// of a word of the name (or of its place, for all but one word); the
// blocks that can hold such names come from the word lists and are read
// nearest first, until no unread block can hold a nearer match.
class SearchIndex {
public:
    static std::unique_ptr<SearchIndex> open(const std::string& path, std::string* why);
    ~SearchIndex();
    SearchIndex(const SearchIndex&) = delete;
    SearchIndex& operator=(const SearchIndex&) = delete;

    // The `limit` nearest good matches to (lat, lon), nearest first. False
    // with *why when the file fails; an empty result is no failure.
    bool search(const std::string& query, double lat, double lon, std::size_t limit, std::vector<SearchResult>* out,
                std::string* why);

    std::uint64_t entries = 0, names = 0;
    std::size_t blockCount = 0;
    double centreLat = 0, centreLon = 0;
    // Work bounds of one search: blocks read (a block costs about 0.4 ms on
    // the armhf build under qemu, so a keystroke stays near half a second
    // at worst; a search cut there gives the nearest matches of what it read
    // and says so in `cut`), words of a prefix gathered.
    std::size_t maxBlocks = 1024;
    std::size_t maxRangeWords = 256;
    // Asked before each block: true gives the search up (a newer query waits).
    std::function<bool()> abandon;
    // What the last search did: blocks read, whether it stopped at
    // maxBlocks, whether it was given up.
    std::size_t blocksRead = 0;
    bool cut = false, abandoned = false;

private:
    SearchIndex() = default;
    bool readMeta(std::string* why);
    bool lookup(const std::string& word, std::string* why);
    bool addLists(sqlite3_stmt* row, bool withBits);
    bool candidates(const std::vector<std::string>& words, std::vector<std::uint32_t>* out, std::string* why);
    bool readBlock(std::uint32_t id, std::string* why);
    double boxDistance(std::uint32_t block, double lat, double lon) const;
    double latitudeDistance(std::uint32_t block, double lat) const;
    static int onProgress(void* self);
    std::string failure(int status) const;

    sqlite3* db = nullptr;
    sqlite3_stmt* blockQuery = nullptr;
    sqlite3_stmt* prefixQuery = nullptr;
    sqlite3_stmt* rangeQuery = nullptr;
    std::vector<std::int32_t> boxes;  // south, west, north, east of each block
    std::vector<std::string> kinds;
    IndexBlock block;
    // Per block, the eighths that hold the word looked up in its names and
    // in its places (PostingList).
    std::vector<std::uint8_t> inNames, inPlaces;
    // Per block, the eighths that may hold every word of the query.
    std::vector<std::uint8_t> together;
    std::uint64_t steps = 0, stepLimit = 50000000;
};

#endif
