#ifndef TESSEL_MBTILESARCHIVE_H
#define TESSEL_MBTILESARCHIVE_H

#include "TileArchive.h"

#include <cstdint>
#include <functional>
#include <map>

struct sqlite3;
struct sqlite3_stmt;

// An MBTiles file read through SQLite, opened read-only and immutable (the
// file is never locked or written). Tiles are looked up by one prepared
// statement; rows are flipped from the file's TMS order. Every query has a
// budget of SQLite steps before each row it gives (a "tiles" view may be
// slow on purpose): past it the query stops and says so. Levels too slow to
// count come from the metadata's minzoom, maxzoom and bounds when it has
// them. The metadata is read once, at most maxMetadataRows rows (a view
// may be endless). Every SQLite file the program reads from outside goes
// through open(), the toolbox's too.
class MBTilesArchive : public TileArchive {
public:
    static constexpr std::uint64_t maxQuerySteps = 250000000;
    static constexpr std::size_t maxMetadataRows = 4096;

    // `interrupted`, asked while a query runs, ends it (the toolbox's
    // SIGINT and SIGTERM).
    static std::unique_ptr<MBTilesArchive> open(const std::string& path, std::string* error, Reading reading,
                                                std::uint64_t stepLimit = maxQuerySteps,
                                                std::function<bool()> interrupted = nullptr);
    ~MBTilesArchive() override;

    bool tile(int z, long long x, long long y, std::string* bytes) override;
    bool forEachTile(const Visitor& visit, std::string* error) override;
    bool forEachTileAt(int z, long long minX, long long minY, long long maxX, long long maxY, const CellVisitor& visit,
                       std::string* error) override;

    // The metadata table's name/value rows; false with *error when it
    // cannot be read whole (too many rows, a query past its budget, an
    // interruption).
    bool metadataRows(std::map<std::string, std::string>* rows, std::string* error);
    // Whether the file has a table or view of that name.
    bool hasTable(const std::string& name);

private:
    MBTilesArchive() = default;
    bool readLevels(std::string* error);
    void readMetadata();
    std::string metadata(const char* name);
    bool levelsFromMetadata();
    std::string sampleTile();
    // sqlite3_step with the budget renewed.
    int step(sqlite3_stmt* st);
    std::string failure(int status) const;
    static int onProgress(void* self);

    sqlite3* db = nullptr;
    sqlite3_stmt* lookup = nullptr;
    std::uint64_t stepLimit = maxQuerySteps, steps = 0;
    std::function<bool()> interrupted;
    std::map<std::string, std::string> rows; // the metadata, as far as it could be read
};

#endif
