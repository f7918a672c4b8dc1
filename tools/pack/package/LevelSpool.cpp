#include "LevelSpool.h"

#include <algorithm>
#include <sys/types.h>

LevelSpool::LevelSpool() : file(std::tmpfile()) {}

LevelSpool::~LevelSpool()
{
    if (file)
        std::fclose(file);
}

bool LevelSpool::add(std::uint32_t index, const std::string& bytes)
{
    if (!file || bytes.size() > PackedMap::maxTileBytes)
        return false;
    if (records.empty() || bytes != last) {
        if (fseeko(file, 0, SEEK_END) != 0 || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
            return false;
        last = bytes;
        lastOffset = written;
        written += bytes.size();
    }
    records.push_back(Record{index, static_cast<std::uint32_t>(bytes.size()), lastOffset});
    return true;
}

void LevelSpool::finish()
{
    std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.index < b.index; });
    // Of equal indices keep the last added.
    std::vector<Record> unique;
    for (const Record& r : records) {
        if (!unique.empty() && unique.back().index == r.index)
            unique.back() = r;
        else
            unique.push_back(r);
    }
    records.swap(unique);
    if (file)
        std::fflush(file);
}

const LevelSpool::Record* LevelSpool::find(int index) const
{
    const auto it = std::lower_bound(records.begin(), records.end(), static_cast<std::uint32_t>(index),
                                     [](const Record& r, std::uint32_t i) { return r.index < i; });
    return it != records.end() && it->index == static_cast<std::uint32_t>(index) ? &*it : nullptr;
}

PackedMap::LevelTiles LevelSpool::tiles(int count) const
{
    PackedMap::LevelTiles t;
    t.count = count;
    t.size = [this](int i) {
        const Record* r = find(i);
        return r ? static_cast<std::uint64_t>(r->length) : 0;
    };
    t.read = [this](int i, std::string* bytes) {
        const Record* r = find(i);
        if (!r || !file || fseeko(file, static_cast<off_t>(r->offset), SEEK_SET) != 0)
            return false;
        bytes->resize(r->length);
        return std::fread(&(*bytes)[0], 1, r->length, file) == r->length;
    };
    return t;
}
