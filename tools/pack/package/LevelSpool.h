#ifndef TESSEL_PACK_LEVELSPOOL_H
#define TESSEL_PACK_LEVELSPOOL_H

#include "PackedMap.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The tiles of one level on their way into part files, which want them in
// index order while sources give them in their own: the bytes wait in an
// unnamed temporary file, only a small record per tile stays in memory.
// The cells of a run (the same bytes given again and again) share one
// copy of the bytes.
class LevelSpool {
public:
    LevelSpool();
    ~LevelSpool();
    LevelSpool(const LevelSpool&) = delete;
    LevelSpool& operator=(const LevelSpool&) = delete;

    bool add(std::uint32_t index, const std::string& bytes);
    // Sorts the records; a later tile of the same index wins.
    void finish();
    // The spooled tiles as a level of `count` indices, for writeLevel().
    PackedMap::LevelTiles tiles(int count) const;
    std::size_t size() const { return records.size(); }

private:
    struct Record {
        std::uint32_t index;
        std::uint32_t length;
        std::uint64_t offset;
    };
    const Record* find(int index) const;

    std::FILE* file;
    std::vector<Record> records;
    std::uint64_t written = 0;
    std::string last;
    std::uint64_t lastOffset = 0;
};

#endif
