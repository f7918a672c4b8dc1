#ifndef TESSEL_SEARCH_INDEXWRITER_H
#define TESSEL_SEARCH_INDEXWRITER_H

#include "SearchEntry.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// Writes a search index: entries are staged in a scratch SQLite file beside
// the output (so memory stays bounded however many there are), pieces of
// a street are merged per place, and finish() sorts them along a Hilbert
// curve into blocks and writes each word's and short prefix's list of blocks.
class IndexWriter {
public:
    // 2: word lists say which eighths of a block hold the word.
    static const int formatVersion = 2;
    static const char* const format;

    explicit IndexWriter(const std::string& output);
    ~IndexWriter();
    IndexWriter(const IndexWriter&) = delete;
    IndexWriter& operator=(const IndexWriter&) = delete;

    // Creates the scratch file; false with *why.
    bool open(std::string* why);
    // A finished entry (names cleaned and cut here).
    void add(const SearchEntry& entry);
    // One piece of a street: pieces with the same name in the same place
    // become one entry.
    void addStreet(const SearchEntry& piece);
    // Writes the output (a fresh file). `progress` gets entries done of all.
    bool finish(std::string* why, const std::function<void(std::uint64_t, std::uint64_t)>& progress = {});

    std::size_t blockSize = 128;
    std::uint64_t entries = 0, names = 0, blocks = 0;

private:
    bool stage(sqlite3_stmt* st, const SearchEntry& entry, const std::string& merge);
    bool mergeStreets(std::string* why);
    bool writeBlocks(sqlite3* out, std::string* why, const std::function<void(std::uint64_t, std::uint64_t)>& progress);
    std::uint32_t kindId(const std::string& kind);

    std::string output, scratchPath;
    sqlite3* scratch = nullptr;
    sqlite3_stmt* addEntry = nullptr;
    sqlite3_stmt* addPiece = nullptr;
    std::map<std::string, std::uint32_t> kinds;
    std::string failure;
};

#endif
