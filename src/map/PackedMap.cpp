#include "PackedMap.h"

#include "Endianness.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <cstring>

namespace PackedMap {

namespace {

bool fail(std::string* error, const char* why)
{
    if (error)
        *error = why;
    return false;
}

bool readAt(std::istream& in, std::uint64_t offset, char* buffer, std::size_t size)
{
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(buffer, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in.gcount()) == size;
}

std::uint64_t streamSize(std::istream& in)
{
    in.clear();
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

std::uint64_t tableEnd(const Header& h)
{
    return headerSize + 4ull * (static_cast<std::uint64_t>(h.endIndex - h.firstIndex) + 1);
}

// Checks the offset table in blocks, without holding it all in memory.
// Offsets past the end mark a file cut short: the tiles wholly inside it
// stay readable, readTile() refuses the others.
bool checkOffsets(std::istream& in, Header& h, std::string* error)
{
    const std::uint64_t entries = static_cast<std::uint64_t>(h.endIndex - h.firstIndex) + 1;
    std::uint64_t previous = tableEnd(h);
    unsigned char block[4096];
    for (std::uint64_t done = 0; done < entries;) {
        const std::uint64_t count = std::min<std::uint64_t>(entries - done, sizeof block / 4);
        if (!readAt(in, headerSize + 4 * done, reinterpret_cast<char*>(block), static_cast<std::size_t>(count * 4)))
            return fail(error, "offset table cut short");
        for (std::uint64_t k = 0; k < count; ++k) {
            const int offset = Endianness::readBigEndian(block + 4 * k);
            if (offset < 0 || static_cast<std::uint64_t>(offset) < previous)
                return fail(error, done + k == 0 ? "first offset inside the header" : "offsets decrease");
            if (static_cast<std::uint64_t>(offset) > h.fileSize)
                h.cutShort = true;
            previous = static_cast<std::uint64_t>(offset);
        }
        done += count;
    }
    return true;
}

} // namespace

std::string partFileName(const std::string& directory, const std::string& layer, int zoom, int part)
{
    char tail[48];
    if (part == 0)
        std::snprintf(tail, sizeof tail, "/%i.map", zoom);
    else
        std::snprintf(tail, sizeof tail, "/%i-%i.map", zoom, part);
    return directory + layer + tail;
}

bool readHeader(std::istream& in, Header* header, std::string* error)
{
    Header h;
    h.fileSize = streamSize(in);
    unsigned char raw[headerSize];
    if (h.fileSize < headerSize || !readAt(in, 0, reinterpret_cast<char*>(raw), headerSize))
        return fail(error, "file shorter than its header");
    if (std::memcmp(raw, magic, 3) != 0)
        return fail(error, "not a packed map file (wrong magic)");
    if (raw[3] != version)
        return fail(error, "unsupported version");
    h.tileCount = Endianness::readBigEndian(raw + 4);
    h.firstIndex = Endianness::readBigEndian(raw + 8);
    h.endIndex = Endianness::readBigEndian(raw + 12);
    if (h.tileCount < 0 || h.firstIndex < 0 || h.firstIndex > h.endIndex || h.endIndex > h.tileCount)
        return fail(error, "index range out of order");
    if (tableEnd(h) > h.fileSize)
        return fail(error, "offset table longer than the file");
    if (!checkOffsets(in, h, error))
        return false;
    *header = h;
    return true;
}

bool readTile(std::istream& in, const Header& header, int index, std::string* bytes)
{
    if (index < header.firstIndex || index >= header.endIndex)
        return false;
    unsigned char pair[8];
    const std::uint64_t at = headerSize + 4ull * static_cast<std::uint64_t>(index - header.firstIndex);
    if (!readAt(in, at, reinterpret_cast<char*>(pair), sizeof pair))
        return false;
    const int start = Endianness::readBigEndian(pair);
    const int end = Endianness::readBigEndian(pair + 4);
    // The header check already bounds the offsets; stay safe if the file
    // changed since.
    if (start < 0 || end <= start || static_cast<std::uint64_t>(end) > header.fileSize)
        return false;
    const std::uint32_t size = static_cast<std::uint32_t>(end - start);
    if (size > maxTileBytes)
        return false;
    bytes->resize(size);
    return readAt(in, static_cast<std::uint64_t>(start), &(*bytes)[0], size);
}

namespace {

bool writePart(const std::string& name, int tileCount, int first, int end, const LevelTiles& tiles, std::string* error)
{
    std::vector<unsigned char> head(headerSize + 4 * static_cast<std::size_t>(end - first + 1));
    std::memcpy(head.data(), magic, 3);
    head[3] = static_cast<unsigned char>(version);
    Endianness::writeBigEndian(tileCount, &head[4]);
    Endianness::writeBigEndian(first, &head[8]);
    Endianness::writeBigEndian(end, &head[12]);
    std::uint64_t offset = head.size();
    for (int i = first; i <= end; ++i) {
        if (offset > 0x7fffffffu)
            return fail(error, "part file larger than 2 GiB");
        Endianness::writeBigEndian(static_cast<int>(offset), &head[headerSize + 4 * static_cast<std::size_t>(i - first)]);
        if (i < end)
            offset += tiles.size(i);
    }
    const std::string temporary = name + ".part";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    std::string bytes;
    for (int i = first; i < end && out; ++i) {
        if (tiles.size(i) == 0)
            continue;
        if (!tiles.read(i, &bytes) || bytes.size() != tiles.size(i))
            return fail(error, "a tile could not be read back");
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    out.close();
    if (!out || std::rename(temporary.c_str(), name.c_str()) != 0) {
        std::remove(temporary.c_str());
        return fail(error, "cannot write the part file");
    }
    return true;
}

} // namespace

int writeLevel(const std::string& directory, const std::string& layer, int zoom,
               const std::vector<std::string>& tiles, std::uint64_t partLimit, std::string* error)
{
    LevelTiles source;
    source.count = static_cast<int>(tiles.size());
    source.size = [&](int i) { return static_cast<std::uint64_t>(tiles[static_cast<std::size_t>(i)].size()); };
    source.read = [&](int i, std::string* bytes) {
        *bytes = tiles[static_cast<std::size_t>(i)];
        return true;
    };
    return writeLevel(directory, layer, zoom, source, partLimit, error);
}

int writeLevel(const std::string& directory, const std::string& layer, int zoom, const LevelTiles& tiles,
               std::uint64_t partLimit, std::string* error)
{
    const std::string layerDir = directory + layer;
    if (mkdir(layerDir.c_str(), 0755) != 0 && errno != EEXIST) {
        fail(error, "cannot create the layer directory");
        return -1;
    }
    const int tileCount = tiles.count;
    int part = 0;
    int first = 0;
    do {
        // Grow the part while the next tile still fits (a part holds at least one index).
        int end = first;
        std::uint64_t size = headerSize + 4;
        while (end < tileCount) {
            const std::uint64_t next = size + 4 + tiles.size(end);
            if (end > first && next > partLimit)
                break;
            size = next;
            ++end;
        }
        if (!writePart(partFileName(directory, layer, zoom, part), tileCount, first, end, tiles, error))
            return -1;
        ++part;
        first = end;
    } while (first < tileCount);
    return part;
}

} // namespace PackedMap
