#include "Codecs.h"
#include "Files.h"
#include "TileSet.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sqlite3.h>
#include <sys/stat.h>

namespace TileSources {

namespace {

bool fail(std::string* error, const std::string& why)
{
    *error = why;
    return false;
}

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Takes a tile: keeps it when SDL_image can decode its format.
void addTile(TileSet* set, const TileKey& key, std::string bytes, const std::string& where)
{
    const std::string format = Codecs::sniff(bytes);
    if (format != "png" && format != "jpg" && format != "gif") {
        set->warnings.push_back(where + ": " + (format.empty() ? "unknown" : format) + " tile skipped");
        return;
    }
    if (set->format.empty())
        set->format = format;
    set->tiles[key] = std::move(bytes);
}

// --- MBTiles

std::string metadataValue(sqlite3* db, const char* name)
{
    std::string value;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT value FROM metadata WHERE name = ?", -1, &st, nullptr) != SQLITE_OK)
        return value;
    sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC);
    if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
        value = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    return value;
}

} // namespace

bool readMBTiles(const std::string& path, TileSet* set, std::string* error)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return fail(error, path + ": not a readable SQLite file");
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT zoom_level, tile_column, tile_row, tile_data FROM tiles", -1, &st, nullptr) !=
        SQLITE_OK) {
        const std::string why = sqlite3_errmsg(db);
        sqlite3_close(db);
        return fail(error, path + ": not an MBTiles file (" + why + ")");
    }
    set->name = metadataValue(db, "name");
    const std::string declared = metadataValue(db, "format");
    int status;
    while ((status = sqlite3_step(st)) == SQLITE_ROW) {
        const int z = sqlite3_column_int(st, 0);
        const long long column = sqlite3_column_int64(st, 1);
        const long long tmsRow = sqlite3_column_int64(st, 2);
        const long long side = z >= 0 && z < 31 ? 1ll << z : -1;
        if (side < 0 || column < 0 || column >= side || tmsRow < 0 || tmsRow >= side) {
            set->warnings.push_back("tile outside its level skipped");
            continue;
        }
        const void* data = sqlite3_column_blob(st, 3);
        const int size = sqlite3_column_bytes(st, 3);
        // Rows are counted from the south in MBTiles.
        const TileKey key{z, static_cast<int>(column), static_cast<int>(side - 1 - tmsRow)};
        addTile(set, key, std::string(static_cast<const char*>(data), data ? static_cast<std::size_t>(size) : 0),
                "z" + std::to_string(z));
    }
    sqlite3_finalize(st);
    const bool ok = status == SQLITE_DONE;
    const std::string why = sqlite3_errmsg(db);
    sqlite3_close(db);
    if (!ok)
        return fail(error, path + ": " + why);
    if (set->format.empty() && (declared == "png" || declared == "jpg"))
        set->format = declared;
    return true;
}

// --- PMTiles v3

namespace {

const std::size_t pmHeaderSize = 127;
const std::size_t maxDirectoryBytes = 64u << 20;

struct PmHeader {
    std::uint64_t rootOffset, rootLength, metadataOffset, metadataLength, leafOffset, leafLength, dataOffset,
        dataLength;
    int internalCompression, tileCompression, tileType;
};

std::uint64_t le64(const unsigned char* p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

struct Entry {
    std::uint64_t tileId, offset, length, runLength;
};

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

bool parseDirectory(const std::string& bytes, std::vector<Entry>* entries)
{
    std::size_t pos = 0;
    std::uint64_t count;
    if (!readVarint(bytes, &pos, &count) || count > bytes.size())
        return false;
    entries->assign(static_cast<std::size_t>(count), Entry{0, 0, 0, 0});
    std::uint64_t last = 0;
    for (Entry& e : *entries) {
        std::uint64_t delta;
        if (!readVarint(bytes, &pos, &delta))
            return false;
        last += delta;
        e.tileId = last;
    }
    for (Entry& e : *entries)
        if (!readVarint(bytes, &pos, &e.runLength))
            return false;
    for (Entry& e : *entries)
        if (!readVarint(bytes, &pos, &e.length))
            return false;
    for (std::size_t i = 0; i < entries->size(); ++i) {
        std::uint64_t v;
        if (!readVarint(bytes, &pos, &v))
            return false;
        Entry& e = (*entries)[i];
        // 0 after the first entry: right after the previous tile's data.
        e.offset = (v == 0 && i > 0) ? (*entries)[i - 1].offset + (*entries)[i - 1].length : v - 1;
        if (v == 0 && i == 0)
            return false;
    }
    return true;
}

class PmFile {
public:
    PmFile(const std::string& path) : in(path, std::ios::binary)
    {
        in.seekg(0, std::ios::end);
        size = in ? static_cast<std::uint64_t>(in.tellg()) : 0;
    }

    bool bytes(std::uint64_t offset, std::uint64_t length, std::string* out)
    {
        if (!in || offset > size || length > size - offset)
            return false;
        out->resize(static_cast<std::size_t>(length));
        in.clear();
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(&(*out)[0], static_cast<std::streamsize>(length));
        return static_cast<std::uint64_t>(in.gcount()) == length;
    }

    std::ifstream in;
    std::uint64_t size = 0;
};

bool readHeader(PmFile& file, PmHeader* h, std::string* error)
{
    std::string raw;
    if (!file.bytes(0, pmHeaderSize, &raw) || raw.compare(0, 7, "PMTiles") != 0)
        return fail(error, "not a PMTiles archive");
    if (raw[7] != 3)
        return fail(error, "PMTiles version " + std::to_string(static_cast<int>(raw[7])) + " is not supported");
    const unsigned char* p = reinterpret_cast<const unsigned char*>(raw.data());
    h->rootOffset = le64(p + 8);
    h->rootLength = le64(p + 16);
    h->metadataOffset = le64(p + 24);
    h->metadataLength = le64(p + 32);
    h->leafOffset = le64(p + 40);
    h->leafLength = le64(p + 48);
    h->dataOffset = le64(p + 56);
    h->dataLength = le64(p + 64);
    h->internalCompression = p[97];
    h->tileCompression = p[98];
    h->tileType = p[99];
    if (h->tileType == 1)
        return fail(error, "vector tiles (MVT) cannot be shown; only raster archives are imported");
    if (h->internalCompression > 2 || h->tileCompression > 2)
        return fail(error, "compression other than gzip is not supported");
    return true;
}

bool loadDirectory(PmFile& file, const PmHeader& h, std::uint64_t offset, std::uint64_t length,
                   std::vector<Entry>* entries)
{
    std::string raw, plain;
    if (length > maxDirectoryBytes || !file.bytes(offset, length, &raw))
        return false;
    if (h.internalCompression == 2) {
        if (!Codecs::gunzip(raw, &plain, maxDirectoryBytes))
            return false;
    } else {
        plain.swap(raw);
    }
    return parseDirectory(plain, entries);
}

bool walk(PmFile& file, const PmHeader& h, const std::vector<Entry>& entries, TileSet* set, int depth,
          std::string* error)
{
    if (depth > 4)
        return fail(error, "leaf directories nested too deep");
    for (const Entry& e : entries) {
        if (e.runLength == 0) {
            std::vector<Entry> leaf;
            if (!loadDirectory(file, h, h.leafOffset + e.offset, e.length, &leaf))
                return fail(error, "damaged leaf directory");
            if (!walk(file, h, leaf, set, depth + 1, error))
                return false;
            continue;
        }
        std::string bytes, plain;
        if (e.offset > h.dataLength || e.length > h.dataLength - e.offset ||
            !file.bytes(h.dataOffset + e.offset, e.length, &bytes))
            return fail(error, "tile data outside the archive");
        if (h.tileCompression == 2) {
            if (!Codecs::gunzip(bytes, &plain, 64u << 20))
                return fail(error, "damaged gzip tile");
            bytes.swap(plain);
        }
        for (std::uint64_t r = 0; r < e.runLength && r < (1u << 24); ++r) {
            TileKey key;
            if (!tileFromId(e.tileId + r, &key))
                return fail(error, "tile id out of range");
            addTile(set, key, bytes, "z" + std::to_string(key.z));
        }
    }
    return true;
}

} // namespace

bool readPMTiles(const std::string& path, TileSet* set, std::string* error)
{
    PmFile file(path);
    if (!file.in)
        return fail(error, path + ": cannot be read");
    PmHeader h;
    if (!readHeader(file, &h, error)) {
        *error = path + ": " + *error;
        return false;
    }
    std::vector<Entry> root;
    if (!loadDirectory(file, h, h.rootOffset, h.rootLength, &root))
        return fail(error, path + ": damaged root directory");
    if (!walk(file, h, root, set, 0, error)) {
        *error = path + ": " + *error;
        return false;
    }
    std::string metadata, plain;
    if (h.metadataLength < maxDirectoryBytes && file.bytes(h.metadataOffset, h.metadataLength, &metadata)) {
        if (h.internalCompression == 2 && Codecs::gunzip(metadata, &plain, maxDirectoryBytes))
            metadata.swap(plain);
        // A light look for "name":"..." in the JSON metadata.
        const std::size_t at = metadata.find("\"name\"");
        const std::size_t open = at == std::string::npos ? at : metadata.find('"', metadata.find(':', at));
        const std::size_t close = open == std::string::npos ? open : metadata.find('"', open + 1);
        if (close != std::string::npos)
            set->name = metadata.substr(open + 1, close - open - 1);
    }
    return true;
}

// --- Hilbert tile ids

namespace {

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

} // namespace

std::uint64_t tileId(int z, std::uint32_t x, std::uint32_t y)
{
    std::uint64_t acc = 0;
    for (int t = 0; t < z; ++t)
        acc += 1ull << (2 * t);
    const std::uint64_t n = 1ull << z;
    std::uint64_t tx = x, ty = y, d = 0;
    for (std::uint64_t s = n / 2; s > 0; s /= 2) {
        const std::uint64_t rx = (tx & s) > 0;
        const std::uint64_t ry = (ty & s) > 0;
        d += s * s * ((3 * rx) ^ ry);
        rotate(n, &tx, &ty, rx, ry);
    }
    return acc + d;
}

bool tileFromId(std::uint64_t id, TileKey* key)
{
    std::uint64_t acc = 0;
    for (int z = 0; z < 27; ++z) {
        const std::uint64_t count = 1ull << (2 * z);
        if (id < acc + count) {
            std::uint64_t t = id - acc, x = 0, y = 0;
            for (std::uint64_t s = 1; s < (1ull << z); s *= 2) {
                const std::uint64_t rx = 1 & (t / 2);
                const std::uint64_t ry = 1 & (t ^ rx);
                rotate(s, &x, &y, rx, ry);
                x += s * rx;
                y += s * ry;
                t /= 4;
            }
            *key = TileKey{z, static_cast<int>(x), static_cast<int>(y)};
            return true;
        }
        acc += count;
    }
    return false;
}

// --- Folders of Z/X/Y

namespace {

std::vector<std::string> entries(const std::string& path)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* e = readdir(dir))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool wholeNumber(const std::string& text, int* value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = std::stoi(text);
    return true;
}

} // namespace

bool readFolder(const std::string& path, TileSet* set, std::string* error)
{
    if (!Files::isDirectory(path))
        return fail(error, path + ": not a directory");
    for (const std::string& zName : entries(path)) {
        int z;
        if (!wholeNumber(zName, &z) || z > 30 || !Files::isDirectory(path + "/" + zName))
            continue;
        for (const std::string& xName : entries(path + "/" + zName)) {
            int x;
            if (!wholeNumber(xName, &x) || x >= (1 << z))
                continue;
            for (const std::string& file : entries(path + "/" + zName + "/" + xName)) {
                const std::size_t dot = file.find('.');
                int y;
                if (dot == std::string::npos || !wholeNumber(file.substr(0, dot), &y) || y >= (1 << z))
                    continue;
                const std::string tilePath = path + "/" + zName + "/" + xName + "/" + file;
                std::string bytes;
                Files::readBytes(tilePath, &bytes);
                if (!Codecs::decodable(bytes)) {
                    set->warnings.push_back(tilePath + ": not an image this viewer can decode, skipped");
                    continue;
                }
                addTile(set, TileKey{z, x, y}, std::move(bytes), tilePath);
            }
        }
    }
    if (set->tiles.empty())
        return fail(error, path + ": no Z/X/Y tiles found");
    return true;
}

bool read(const std::string& path, TileSet* set, std::string* error)
{
    if (Files::isDirectory(path))
        return readFolder(path, set, error);
    if (endsWith(path, ".pmtiles"))
        return readPMTiles(path, set, error);
    return readMBTiles(path, set, error);
}

} // namespace TileSources
