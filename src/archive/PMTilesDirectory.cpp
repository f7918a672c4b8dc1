#include "PMTilesDirectory.h"

#include "Gzip.h"

#include <algorithm>

namespace PMTiles {

namespace {

bool readVarint(const std::string& in, std::size_t* pos, std::uint64_t* value)
{
    *value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        if (*pos >= in.size())
            return false;
        const unsigned char byte = static_cast<unsigned char>(in[(*pos)++]);
        *value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

void rotate(std::uint64_t n, std::uint64_t* x, std::uint64_t* y, std::uint64_t rx, std::uint64_t ry)
{
    if (ry == 0) {
        if (rx == 1) {
            *x = n - 1 - *x;
            *y = n - 1 - *y;
        }
        std::swap(*x, *y);
    }
}

// Ids of all levels before z.
std::uint64_t levelStart(int z)
{
    return ((1ull << (2 * z)) - 1) / 3;
}

} // namespace

// Ids must increase strictly and no run may wrap past the largest id, or a
// lookup could land on another tile; bytes left over mean the directory is
// not what its writer meant.
bool parseDirectory(const std::string& bytes, std::vector<Entry>* entries, std::uint64_t maxEntries, bool* overBudget)
{
    std::size_t pos = 0;
    std::uint64_t count;
    // Each entry takes at least four bytes.
    if (!readVarint(bytes, &pos, &count) || count > bytes.size() / 4)
        return false;
    if (count > maxEntries) {
        if (overBudget)
            *overBudget = true;
        return false;
    }
    entries->assign(static_cast<std::size_t>(count), Entry());
    std::uint64_t last = 0;
    for (std::size_t i = 0; i < entries->size(); ++i) {
        std::uint64_t delta;
        if (!readVarint(bytes, &pos, &delta) || (i > 0 && delta == 0) || delta > ~0ull - last)
            return false;
        last += delta;
        (*entries)[i].tileId = last;
    }
    for (Entry& e : *entries)
        if (!readVarint(bytes, &pos, &e.runLength) || e.runLength > ~0ull - e.tileId)
            return false;
    for (Entry& e : *entries)
        if (!readVarint(bytes, &pos, &e.length))
            return false;
    for (std::size_t i = 0; i < entries->size(); ++i) {
        std::uint64_t v;
        if (!readVarint(bytes, &pos, &v) || (v == 0 && i == 0))
            return false;
        Entry& e = (*entries)[i];
        // 0 after the first entry: right after the previous tile's data.
        if (v == 0) {
            const Entry& before = (*entries)[i - 1];
            if (before.length > ~0ull - before.offset)
                return false;
            e.offset = before.offset + before.length;
        } else {
            e.offset = v - 1;
        }
    }
    return pos == bytes.size();
}

bool readDirectory(const std::string& stored, bool gzipped, std::vector<Entry>* entries, std::uint64_t maxEntries,
                   bool* overBudget)
{
    if (!gzipped)
        return stored.size() <= maxDirectoryBytes && parseDirectory(stored, entries, maxEntries, overBudget);
    std::string plain;
    return Gzip::inflate(stored, &plain, maxDirectoryBytes) && parseDirectory(plain, entries, maxEntries, overBudget);
}

std::string serializeDirectory(const std::vector<Entry>& entries)
{
    std::string out;
    auto varint = [&out](std::uint64_t v) {
        for (; v >= 0x80; v >>= 7)
            out += static_cast<char>((v & 0x7f) | 0x80);
        out += static_cast<char>(v);
    };
    varint(entries.size());
    std::uint64_t last = 0;
    for (const Entry& e : entries) {
        varint(e.tileId - last);
        last = e.tileId;
    }
    for (const Entry& e : entries)
        varint(e.runLength);
    for (const Entry& e : entries)
        varint(e.length);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        const bool follows = i > 0 && e.offset == entries[i - 1].offset + entries[i - 1].length;
        varint(follows ? 0 : e.offset + 1);
    }
    return out;
}

const Entry* findEntry(const std::vector<Entry>& entries, std::uint64_t id)
{
    auto after = std::upper_bound(entries.begin(), entries.end(), id,
                                  [](std::uint64_t v, const Entry& e) { return v < e.tileId; });
    if (after == entries.begin())
        return nullptr;
    const Entry& e = *(after - 1);
    if (e.runLength == 0 || id - e.tileId < e.runLength)
        return &e;
    return nullptr;
}

std::uint64_t tileId(int z, std::uint64_t x, std::uint64_t y)
{
    const std::uint64_t n = 1ull << z;
    std::uint64_t d = 0;
    for (std::uint64_t s = n / 2; s > 0; s /= 2) {
        const std::uint64_t rx = (x & s) > 0;
        const std::uint64_t ry = (y & s) > 0;
        d += s * s * ((3 * rx) ^ ry);
        rotate(n, &x, &y, rx, ry);
    }
    return levelStart(z) + d;
}

bool tileFromId(std::uint64_t id, int* z, std::uint64_t* x, std::uint64_t* y)
{
    for (int level = 0; level <= maxZoom; ++level) {
        if (id >= levelStart(level + 1))
            continue;
        std::uint64_t t = id - levelStart(level), tx = 0, ty = 0;
        for (std::uint64_t s = 1; s < (1ull << level); s *= 2) {
            const std::uint64_t rx = 1 & (t / 2);
            const std::uint64_t ry = 1 & (t ^ rx);
            rotate(s, &tx, &ty, rx, ry);
            tx += s * rx;
            ty += s * ry;
            t /= 4;
        }
        *z = level;
        *x = tx;
        *y = ty;
        return true;
    }
    return false;
}

void forEachSquare(std::uint64_t first, std::uint64_t count, const std::function<void(const Square&)>& visit)
{
    const std::uint64_t end = count > ~0ull - first ? ~0ull : first + count;
    std::uint64_t id = first;
    int z;
    std::uint64_t x, y;
    while (id < end && tileFromId(id, &z, &x, &y)) {
        const std::uint64_t local = id - levelStart(z), left = std::min(end, levelStart(z + 1)) - id;
        int k = 0;
        while (k < z && local % (1ull << (2 * (k + 1))) == 0 && (1ull << (2 * (k + 1))) <= left)
            ++k;
        const std::uint64_t size = 1ull << k;
        visit(Square{z, x & ~(size - 1), y & ~(size - 1), size});
        id += size * size;
    }
}

} // namespace PMTiles
