#include "MBTilesArchive.h"

#include "MetadataText.h"
#include "SafeFile.h"

#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <unistd.h>

namespace {

bool parseNumbers(const std::string& text, double* out, int count)
{
    const char* p = text.c_str();
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        out[i] = std::strtod(p, &end);
        if (end == p || !(out[i] == out[i]))
            return false;
        p = end;
        while (*p == ' ')
            ++p;
        if (i + 1 < count && *p++ != ',')
            return false;
    }
    return true;
}

} // namespace

namespace {

const int stepsPerCall = 1000;

} // namespace

int MBTilesArchive::onProgress(void* self)
{
    MBTilesArchive* a = static_cast<MBTilesArchive*>(self);
    a->steps += stepsPerCall;
    return a->steps > a->stepLimit || (a->interrupted && a->interrupted());
}

int MBTilesArchive::step(sqlite3_stmt* st)
{
    steps = 0;
    return sqlite3_step(st);
}

std::string MBTilesArchive::failure(int status) const
{
    if (status == SQLITE_INTERRUPT && interrupted && interrupted())
        return "interrupted";
    if (status == SQLITE_INTERRUPT)
        return "queries take too long (more than " + std::to_string(stepLimit / 1000000) +
               " million steps for one row: a slow tiles view?)";
    return std::string("damaged (") + sqlite3_errmsg(db) + ")";
}

std::unique_ptr<MBTilesArchive> MBTilesArchive::open(const std::string& path, std::string* error, Reading reading,
                                                    std::uint64_t stepLimit, std::function<bool()> interrupted)
{
    std::unique_ptr<MBTilesArchive> a(new MBTilesArchive());
    // SQLite would wait in open() on a FIFO named .mbtiles.
    const int regular = SafeFile::openRegular(path);
    if (regular < 0) {
        *error = "not a readable SQLite file (not a regular file)";
        return nullptr;
    }
    close(regular);
    if (sqlite3_open_v2(SafeFile::immutableUri(path).c_str(), &a->db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
        *error = std::string("not a readable SQLite file (") + sqlite3_errmsg(a->db) + ")";
        return nullptr;
    }
    a->stepLimit = stepLimit;
    a->interrupted = std::move(interrupted);
    sqlite3_progress_handler(a->db, stepsPerCall, &MBTilesArchive::onProgress, a.get());
    const char* query = "SELECT tile_data FROM tiles WHERE zoom_level = ?1 AND tile_column = ?2 AND tile_row = ?3";
    if (sqlite3_prepare_v2(a->db, query, -1, &a->lookup, nullptr) != SQLITE_OK) {
        *error = std::string("not an MBTiles file (") + sqlite3_errmsg(a->db) + ")";
        return nullptr;
    }
    a->readMetadata();
    if (reading == Reading::tilesOnly)
        return a;
    if (!a->readLevels(error) || !a->acceptFormat(a->metadata("format"), a->sampleTile(), error))
        return nullptr;
    return a;
}

// A tile of the first level, else (levels taken from the metadata) any.
std::string MBTilesArchive::sampleTile()
{
    std::string sample;
    for (const char* query : {"SELECT tile_data FROM tiles WHERE zoom_level = ?1 LIMIT 1",
                              "SELECT tile_data FROM tiles LIMIT 1"}) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, query, -1, &st, nullptr) == SQLITE_OK) {
            sqlite3_bind_int(st, 1, about.levels.front().z);
            if (step(st) == SQLITE_ROW && sqlite3_column_blob(st, 0))
                sample.assign(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                              static_cast<std::size_t>(sqlite3_column_bytes(st, 0)));
        }
        sqlite3_finalize(st);
        if (!sample.empty())
            break;
    }
    return sample;
}

MBTilesArchive::~MBTilesArchive()
{
    sqlite3_finalize(lookup);
    sqlite3_close(db);
}

// Each level's extent from the index the tiles table keeps; rows outside
// their level, and levels that are not whole numbers, are left out.
bool MBTilesArchive::readLevels(std::string* error)
{
    const char* query = "SELECT zoom_level, MIN(tile_column), MAX(tile_column), MIN(tile_row), MAX(tile_row), "
                        "COUNT(*) FROM tiles WHERE zoom_level BETWEEN 0 AND 30 AND "
                        "zoom_level = CAST(zoom_level AS INTEGER) AND tile_column >= 0 AND "
                        "tile_row >= 0 AND tile_column < (1 << zoom_level) AND tile_row < (1 << zoom_level) "
                        "GROUP BY zoom_level ORDER BY zoom_level";
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, query, -1, &st, nullptr) != SQLITE_OK) {
        *error = std::string("not an MBTiles file (") + sqlite3_errmsg(db) + ")";
        return false;
    }
    int status;
    while ((status = step(st)) == SQLITE_ROW) {
        ArchiveLevel level;
        level.z = sqlite3_column_int(st, 0);
        const long long side = 1ll << level.z;
        level.minX = sqlite3_column_int64(st, 1);
        level.maxX = sqlite3_column_int64(st, 2);
        level.minY = side - 1 - sqlite3_column_int64(st, 4);
        level.maxY = side - 1 - sqlite3_column_int64(st, 3);
        level.tiles = sqlite3_column_int64(st, 5);
        about.levels.push_back(level);
    }
    sqlite3_finalize(st);
    if (status == SQLITE_INTERRUPT && levelsFromMetadata())
        return true;
    if (status != SQLITE_DONE) {
        *error = failure(status);
        return false;
    }
    if (about.levels.empty()) {
        *error = "no tiles";
        return false;
    }
    return true;
}

std::string MBTilesArchive::metadata(const char* name)
{
    const auto found = rows.find(name);
    return found == rows.end() ? std::string() : found->second;
}

bool MBTilesArchive::metadataRows(std::map<std::string, std::string>* out, std::string* error)
{
    out->clear();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT name, value FROM metadata", -1, &st, nullptr) != SQLITE_OK)
        return true; // no metadata table: no rows
    int status;
    std::size_t read = 0;
    while ((status = step(st)) == SQLITE_ROW && read++ < maxMetadataRows) {
        const unsigned char* name = sqlite3_column_text(st, 0);
        const unsigned char* value = sqlite3_column_text(st, 1);
        if (name && value)
            (*out)[reinterpret_cast<const char*>(name)] = reinterpret_cast<const char*>(value);
    }
    sqlite3_finalize(st);
    if (status == SQLITE_ROW)
        *error = "a metadata table of more than " + std::to_string(maxMetadataRows) + " rows";
    else if (status != SQLITE_DONE)
        *error = "metadata: " + failure(status);
    return status == SQLITE_DONE;
}

bool MBTilesArchive::hasTable(const std::string& name)
{
    sqlite3_stmt* st = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE name = ?1", -1, &st, nullptr) == SQLITE_OK) {
        sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        found = step(st) == SQLITE_ROW;
    }
    sqlite3_finalize(st);
    return found;
}

// The levels the metadata declares, over its bounds; false when it lacks
// any of minzoom, maxzoom and bounds.
bool MBTilesArchive::levelsFromMetadata()
{
    double low, high;
    if (!about.hasBounds || !parseNumbers(metadata("minzoom"), &low, 1) || !parseNumbers(metadata("maxzoom"), &high, 1) ||
        !(low >= 0 && low <= high && high <= maxZoom))
        return false;
    levelsFromBounds(static_cast<int>(low), static_cast<int>(high));
    return true;
}

// What could be read stands: a metadata view past its budget leaves the
// map without a name, never without its tiles.
void MBTilesArchive::readMetadata()
{
    std::string ignored;
    metadataRows(&rows, &ignored);
    about.name = MetadataText::bounded(metadata("name"));
    about.attribution = MetadataText::bounded(metadata("attribution"));
    about.metadataJson = metadata("json");
    about.encoding = MetadataText::bounded(metadata("encoding"));
    double v[4];
    if (parseNumbers(metadata("center"), v, 3) && v[0] >= -180 && v[0] <= 180 && v[1] >= -90 && v[1] <= 90) {
        about.hasCentre = true;
        about.centreLon = v[0];
        about.centreLat = v[1];
        about.centreZoom = v[2] >= 0 && v[2] <= maxZoom ? static_cast<int>(v[2]) : -1;
    } else if (parseNumbers(metadata("center"), v, 2) && v[0] >= -180 && v[0] <= 180 && v[1] >= -90 && v[1] <= 90) {
        about.hasCentre = true;
        about.centreLon = v[0];
        about.centreLat = v[1];
    }
    if (parseNumbers(metadata("bounds"), v, 4) && v[0] < v[2] && v[1] < v[3]) {
        about.hasBounds = true;
        about.west = v[0];
        about.south = v[1];
        about.east = v[2];
        about.north = v[3];
    }
}

bool MBTilesArchive::tile(int z, long long x, long long y, std::string* bytes)
{
    if (z < 0 || z > maxZoom || x < 0 || y < 0 || x >= (1ll << z) || y >= (1ll << z))
        return false;
    sqlite3_bind_int(lookup, 1, z);
    sqlite3_bind_int64(lookup, 2, x);
    sqlite3_bind_int64(lookup, 3, (1ll << z) - 1 - y);
    bool found = false;
    if (step(lookup) == SQLITE_ROW) {
        // An empty tile is a tile (a vector tile of no features: open sea);
        // only a missing row or a null is none.
        const void* data = sqlite3_column_blob(lookup, 0);
        const int size = sqlite3_column_bytes(lookup, 0);
        found = sqlite3_column_type(lookup, 0) != SQLITE_NULL;
        if (found)
            bytes->assign(data ? static_cast<const char*>(data) : "", static_cast<std::size_t>(size));
    }
    sqlite3_reset(lookup);
    return found;
}

bool MBTilesArchive::forEachTile(const Visitor& visit, std::string* error)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT zoom_level, tile_column, tile_row, tile_data FROM tiles", -1, &st, nullptr) !=
        SQLITE_OK) {
        *error = sqlite3_errmsg(db);
        return false;
    }
    int status;
    std::string bytes;
    while ((status = step(st)) == SQLITE_ROW) {
        if (sqlite3_column_type(st, 0) != SQLITE_INTEGER)
            continue; // a level of 3.5 is no level
        const int z = sqlite3_column_int(st, 0);
        const long long x = sqlite3_column_int64(st, 1), row = sqlite3_column_int64(st, 2);
        if (z < 0 || z > maxZoom || x < 0 || row < 0 || x >= (1ll << z) || row >= (1ll << z))
            continue;
        const void* data = sqlite3_column_blob(st, 3);
        bytes.assign(data ? static_cast<const char*>(data) : "", data ? static_cast<std::size_t>(sqlite3_column_bytes(st, 3)) : 0);
        if (!visit(z, x, (1ll << z) - 1 - row, 1, bytes))
            break;
    }
    const bool ok = status == SQLITE_ROW || status == SQLITE_DONE;
    if (!ok)
        *error = failure(status);
    sqlite3_finalize(st);
    return ok;
}

bool MBTilesArchive::forEachTileAt(int z, long long minX, long long minY, long long maxX, long long maxY,
                                   const CellVisitor& visit, std::string* error)
{
    if (z < 0 || z > maxZoom)
        return true;
    const long long last = (1ll << z) - 1;
    sqlite3_stmt* st = nullptr;
    const char* query = "SELECT tile_column, tile_row, tile_data FROM tiles WHERE zoom_level = ?1 AND "
                        "tile_column BETWEEN ?2 AND ?3 AND tile_row BETWEEN ?4 AND ?5";
    if (sqlite3_prepare_v2(db, query, -1, &st, nullptr) != SQLITE_OK) {
        *error = sqlite3_errmsg(db);
        return false;
    }
    sqlite3_bind_int(st, 1, z);
    sqlite3_bind_int64(st, 2, minX);
    sqlite3_bind_int64(st, 3, maxX);
    sqlite3_bind_int64(st, 4, last - maxY);
    sqlite3_bind_int64(st, 5, last - minY);
    int status;
    std::string bytes;
    while ((status = step(st)) == SQLITE_ROW) {
        const void* data = sqlite3_column_blob(st, 2);
        bytes.assign(data ? static_cast<const char*>(data) : "", data ? static_cast<std::size_t>(sqlite3_column_bytes(st, 2)) : 0);
        if (!visit(sqlite3_column_int64(st, 0), last - sqlite3_column_int64(st, 1), bytes))
            break;
    }
    const bool ok = status == SQLITE_ROW || status == SQLITE_DONE;
    if (!ok)
        *error = failure(status);
    sqlite3_finalize(st);
    return ok;
}
