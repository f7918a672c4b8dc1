#include "MBTilesWriter.h"

#include "MBTilesArchive.h"

#include <sqlite3.h>
#include <zlib.h>

namespace {

const char* const schema =
    "CREATE TABLE IF NOT EXISTS metadata (name TEXT PRIMARY KEY, value TEXT);"
    "CREATE TABLE IF NOT EXISTS images (tile_id INTEGER PRIMARY KEY, tile_hash INTEGER, tile_data BLOB);"
    "CREATE INDEX IF NOT EXISTS images_hash ON images (tile_hash);"
    "CREATE TABLE IF NOT EXISTS map (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_id INTEGER,"
    " PRIMARY KEY (zoom_level, tile_column, tile_row));"
    "CREATE VIEW IF NOT EXISTS tiles AS SELECT map.zoom_level AS zoom_level, map.tile_column AS tile_column,"
    " map.tile_row AS tile_row, images.tile_data AS tile_data FROM map JOIN images ON images.tile_id = map.tile_id;"
    "CREATE TABLE IF NOT EXISTS tessel_absent (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER,"
    " PRIMARY KEY (zoom_level, tile_column, tile_row));";

// A hash that stays the same between runs and machines: CRC-32 and length.
long long hashOf(const std::string& bytes)
{
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
    return static_cast<long long>((static_cast<std::uint64_t>(crc) << 32) | (bytes.size() & 0xffffffffu));
}

long long tmsRow(int z, long long y)
{
    return (1ll << z) - 1 - y;
}

} // namespace

bool MBTilesWriter::madeHere(const std::string& path)
{
    std::string error;
    const std::unique_ptr<MBTilesArchive> file = MBTilesArchive::open(path, &error, TileArchive::Reading::tilesOnly);
    return file && file->hasTable("tessel_absent");
}

MBTilesWriter::~MBTilesWriter()
{
    for (sqlite3_stmt* st : {findImage, insertImage, insertMap, findTile, insertAbsent})
        sqlite3_finalize(st);
    if (db) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
}

bool MBTilesWriter::failed(std::string* error)
{
    *error = std::string("cannot write the MBTiles file (") + (db ? sqlite3_errmsg(db) : "no database") + ")";
    return false;
}

bool MBTilesWriter::run(const char* sql, std::string* error)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK || failed(error);
}

bool MBTilesWriter::open(const std::string& path, bool scratch, std::string* error)
{
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
        return failed(error);
    sqlite3_busy_timeout(db, 2000);
    if (scratch && !run("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;", error))
        return false;
    if (!run(schema, error))
        return false;
    const char* statements[] = {
        "SELECT tile_id, tile_data FROM images WHERE tile_hash = ?1",
        "INSERT INTO images (tile_hash, tile_data) VALUES (?1, ?2)",
        "INSERT OR REPLACE INTO map VALUES (?1, ?2, ?3, ?4)",
        "SELECT 1 FROM map WHERE zoom_level = ?1 AND tile_column = ?2 AND tile_row = ?3 UNION ALL "
        "SELECT 1 FROM tessel_absent WHERE zoom_level = ?1 AND tile_column = ?2 AND tile_row = ?3",
        "INSERT OR IGNORE INTO tessel_absent VALUES (?1, ?2, ?3)"};
    sqlite3_stmt** targets[] = {&findImage, &insertImage, &insertMap, &findTile, &insertAbsent};
    for (int i = 0; i < 5; ++i)
        if (sqlite3_prepare_v2(db, statements[i], -1, targets[i], nullptr) != SQLITE_OK)
            return failed(error);
    return run("BEGIN", error);
}

bool MBTilesWriter::storeImage(const std::string& bytes, long long* id, std::string* error)
{
    const long long hash = hashOf(bytes);
    sqlite3_bind_int64(findImage, 1, hash);
    bool found = false;
    while (!found && sqlite3_step(findImage) == SQLITE_ROW) {
        const void* data = sqlite3_column_blob(findImage, 1);
        const std::size_t size = static_cast<std::size_t>(sqlite3_column_bytes(findImage, 1));
        found = size == bytes.size() && (size == 0 || bytes.compare(0, size, static_cast<const char*>(data), size) == 0);
        *id = sqlite3_column_int64(findImage, 0);
    }
    sqlite3_reset(findImage);
    if (found)
        return true;
    sqlite3_bind_int64(insertImage, 1, hash);
    sqlite3_bind_blob(insertImage, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    const bool ok = sqlite3_step(insertImage) == SQLITE_DONE;
    sqlite3_reset(insertImage);
    *id = sqlite3_last_insert_rowid(db);
    return ok || failed(error);
}

bool MBTilesWriter::add(int z, long long x, long long y, const std::string& bytes, std::string* error)
{
    long long id;
    if (!storeImage(bytes, &id, error))
        return false;
    sqlite3_bind_int(insertMap, 1, z);
    sqlite3_bind_int64(insertMap, 2, x);
    sqlite3_bind_int64(insertMap, 3, tmsRow(z, y));
    sqlite3_bind_int64(insertMap, 4, id);
    const bool ok = sqlite3_step(insertMap) == SQLITE_DONE;
    sqlite3_reset(insertMap);
    ++added;
    return ok || failed(error);
}

bool MBTilesWriter::known(int z, long long x, long long y)
{
    sqlite3_bind_int(findTile, 1, z);
    sqlite3_bind_int64(findTile, 2, x);
    sqlite3_bind_int64(findTile, 3, tmsRow(z, y));
    const bool found = sqlite3_step(findTile) == SQLITE_ROW;
    sqlite3_reset(findTile);
    return found;
}

bool MBTilesWriter::markAbsent(int z, long long x, long long y, std::string* error)
{
    sqlite3_bind_int(insertAbsent, 1, z);
    sqlite3_bind_int64(insertAbsent, 2, x);
    sqlite3_bind_int64(insertAbsent, 3, tmsRow(z, y));
    const bool ok = sqlite3_step(insertAbsent) == SQLITE_DONE;
    sqlite3_reset(insertAbsent);
    return ok || failed(error);
}

bool MBTilesWriter::sampleTile(std::string* bytes)
{
    sqlite3_stmt* st = nullptr;
    bool found = sqlite3_prepare_v2(db, "SELECT tile_data FROM images LIMIT 1", -1, &st, nullptr) == SQLITE_OK &&
                 sqlite3_step(st) == SQLITE_ROW;
    if (found)
        bytes->assign(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                      static_cast<std::size_t>(sqlite3_column_bytes(st, 0)));
    sqlite3_finalize(st);
    return found;
}

bool MBTilesWriter::setMetadata(const std::map<std::string, std::string>& rows, std::string* error)
{
    if (!run("DELETE FROM metadata", error))
        return false;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO metadata VALUES (?1, ?2)", -1, &st, nullptr) != SQLITE_OK)
        return failed(error);
    bool ok = true;
    for (const auto& row : rows) {
        sqlite3_bind_text(st, 1, row.first.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, row.second.c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(st) == SQLITE_DONE && ok;
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    return ok || failed(error);
}

bool MBTilesWriter::commit(std::string* error)
{
    return run("COMMIT", error) && run("BEGIN", error);
}

bool MBTilesWriter::close(std::string* error)
{
    if (!run("COMMIT", error))
        return false;
    for (sqlite3_stmt** st : {&findImage, &insertImage, &insertMap, &findTile, &insertAbsent}) {
        sqlite3_finalize(*st);
        *st = nullptr;
    }
    const bool ok = sqlite3_close(db) == SQLITE_OK;
    db = nullptr;
    return ok || failed(error);
}
