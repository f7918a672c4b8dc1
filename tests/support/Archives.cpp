#include "Archives.h"

#include "FileBytes.h"
#include "PMTilesDirectory.h"
#include "PMTilesPicker.h"
#include "TileArchive.h"

#include <algorithm>
#include <fstream>
#include <sqlite3.h>
#include <stdexcept>
#include <zlib.h>

void writeMBTiles(const std::string& path, const std::vector<std::tuple<int, int, int, std::string>>& tiles,
                  const std::vector<std::pair<std::string, std::string>>& metadata)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot write " + path);
    sqlite3_exec(db,
                 "CREATE TABLE metadata (name TEXT, value TEXT);"
                 "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB);"
                 "CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row);"
                 "BEGIN;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO metadata VALUES (?, ?)", -1, &st, nullptr);
    for (const auto& kv : metadata) {
        sqlite3_bind_text(st, 1, kv.first.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, kv.second.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO tiles VALUES (?, ?, ?, ?)", -1, &st, nullptr);
    for (const auto& t : tiles) {
        sqlite3_bind_int(st, 1, std::get<0>(t));
        sqlite3_bind_int(st, 2, std::get<1>(t));
        sqlite3_bind_int(st, 3, std::get<2>(t));
        sqlite3_bind_blob(st, 4, std::get<3>(t).data(), static_cast<int>(std::get<3>(t).size()), SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

namespace {

void le(std::string* out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        *out += static_cast<char>((v >> (8 * i)) & 0xff);
}

void le32e7(std::string* out, double degrees)
{
    le(out, static_cast<std::uint32_t>(static_cast<std::int32_t>(degrees * 1e7)), 4);
}

std::string gzip(const std::string& plain)
{
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(plain.data()),
             static_cast<uLong>(plain.size()));
    out.resize(size);
    return out;
}

} // namespace

void writePMTiles(const std::string& path, const PMTilesLayout& layout)
{
    std::vector<PMTiles::Entry> entries;
    std::string data;
    std::map<std::uint64_t, std::pair<std::string, std::uint64_t>> byId;
    for (const auto& t : layout.tiles) {
        const auto run = layout.runs.find(t.first);
        byId[PMTiles::tileId(std::get<0>(t.first), std::get<1>(t.first), std::get<2>(t.first))] = {
            t.second, run == layout.runs.end() ? 1 : run->second};
    }
    for (const auto& t : byId) {
        entries.push_back(PMTiles::Entry{t.first, data.size(), t.second.first.size(), t.second.second});
        data += t.second.first;
    }
    std::string leaves, root;
    auto pack = [&](const std::string& plain) { return layout.gzipDirectories ? gzip(plain) : plain; };
    if (layout.leafSize == 0) {
        root = pack(PMTiles::serializeDirectory(entries));
    } else {
        std::vector<PMTiles::Entry> rootEntries;
        for (std::size_t i = 0; i < entries.size(); i += layout.leafSize) {
            const std::vector<PMTiles::Entry> part(entries.begin() + static_cast<long>(i),
                                                   entries.begin() + static_cast<long>(std::min(entries.size(), i + layout.leafSize)));
            const std::string leaf = pack(PMTiles::serializeDirectory(part));
            rootEntries.push_back(PMTiles::Entry{part.front().tileId, leaves.size(), leaf.size(), 0});
            leaves += leaf;
        }
        root = pack(PMTiles::serializeDirectory(rootEntries));
    }
    if (!layout.rawRoot.empty()) {
        root = layout.rawRoot;
        leaves = layout.rawLeaves;
    }
    const std::string metadata = pack(layout.metadata);
    std::string header = "PMTiles";
    header += static_cast<char>(layout.version);
    const std::uint64_t rootAt = 127, metaAt = rootAt + root.size(), leafAt = metaAt + metadata.size(),
                        dataAt = leafAt + leaves.size();
    for (std::uint64_t v : {rootAt, static_cast<std::uint64_t>(root.size()), metaAt,
                            static_cast<std::uint64_t>(metadata.size()), leafAt, static_cast<std::uint64_t>(leaves.size()),
                            dataAt, static_cast<std::uint64_t>(data.size()), static_cast<std::uint64_t>(entries.size()),
                            layout.declaredEntries ? layout.declaredEntries : static_cast<std::uint64_t>(entries.size()),
                            static_cast<std::uint64_t>(entries.size())})
        le(&header, v, 8);
    header += '\x01';                                         // clustered
    header += static_cast<char>(layout.gzipDirectories ? 2 : 1); // internal compression
    header += '\x01';                                         // tile compression: none
    header += static_cast<char>(layout.tileType);
    int minZoom = 30, maxZoom = 0;
    for (const auto& t : layout.tiles) {
        minZoom = std::min(minZoom, std::get<0>(t.first));
        maxZoom = std::max(maxZoom, std::get<0>(t.first));
    }
    header += static_cast<char>(minZoom);
    header += static_cast<char>(maxZoom);
    for (double d : {layout.west, layout.south, layout.east, layout.north})
        le32e7(&header, d);
    header += static_cast<char>(layout.centreZoom);
    le32e7(&header, layout.centreLon);
    le32e7(&header, layout.centreLat);
    std::ofstream(path, std::ios::binary) << header << root << metadata << leaves << data;
}

std::string pmDirectory(const std::vector<std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t>>& entries)
{
    std::vector<PMTiles::Entry> list;
    for (const auto& e : entries)
        list.push_back(PMTiles::Entry{std::get<0>(e), std::get<1>(e), std::get<2>(e), std::get<3>(e)});
    return PMTiles::serializeDirectory(list);
}

std::vector<std::string> archiveTiles(const std::string& path)
{
    std::map<std::tuple<int, long long, long long>, std::string> sorted;
    std::string error;
    if (const std::unique_ptr<TileArchive> archive = TileArchive::open(path, &error))
        archive->forEachTile(
            [&](int z, long long x, long long y, long long, const std::string& bytes) {
                sorted[std::make_tuple(z, x, y)] = bytes;
                return true;
            },
            &error);
    std::vector<std::string> tiles;
    for (auto& t : sorted)
        tiles.push_back(std::move(t.second));
    return tiles;
}

std::map<std::tuple<int, long long, long long>, std::string> storedTiles(const std::string& path)
{
    std::map<std::tuple<int, long long, long long>, std::string> tiles;
    std::string error;
    if (TileArchive::kindOf(path) == TileArchive::Kind::mbtiles) {
        sqlite3* db = nullptr;
        sqlite3_stmt* st = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_prepare_v2(db, "SELECT zoom_level, tile_column, tile_row, tile_data FROM tiles", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            const int z = sqlite3_column_int(st, 0);
            tiles[std::make_tuple(z, sqlite3_column_int64(st, 1), (1ll << z) - 1 - sqlite3_column_int64(st, 2))] =
                std::string(static_cast<const char*>(sqlite3_column_blob(st, 3)),
                            static_cast<std::size_t>(sqlite3_column_bytes(st, 3)));
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return tiles;
    }
    std::unique_ptr<FileBytes> file = FileBytes::open(path, &error);
    PMTilesPicker picker(*file);
    std::vector<PMTiles::Entry> entries;
    if (!picker.open(&error) || !picker.pick({{0, ~0ull}}, &entries, &error))
        return tiles;
    picker.fetch(entries, 0, 1u << 20,
                 [&](const PMTiles::Entry& e, const std::string& bytes) {
                     for (std::uint64_t id = e.tileId; id < e.tileId + e.runLength; ++id) {
                         int z;
                         std::uint64_t x, y;
                         PMTiles::tileFromId(id, &z, &x, &y);
                         tiles[std::make_tuple(z, static_cast<long long>(x), static_cast<long long>(y))] = bytes;
                     }
                     return true;
                 },
                 &error);
    return tiles;
}
