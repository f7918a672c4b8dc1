#ifndef TESSEL_MBTILESARCHIVE_H
#define TESSEL_MBTILESARCHIVE_H

#include "TileArchive.h"

#include <cstdint>

struct sqlite3;
struct sqlite3_stmt;

// An MBTiles file read through SQLite, opened read-only and immutable (the
// file is never locked or written). Tiles are looked up by one prepared
// statement; rows are flipped from the file's TMS order. Every query has a
// budget of SQLite steps before each row it gives (a "tiles" view may be
// slow on purpose): past it the query stops and says so. Levels too slow to
// count come from the metadata's minzoom, maxzoom and bounds when it has
// them.
class MBTilesArchive : public TileArchive {
public:
    static constexpr std::uint64_t maxQuerySteps = 250000000;

    static std::unique_ptr<TileArchive> open(const std::string& path, std::string* error, Reading reading,
                                             std::uint64_t stepLimit = maxQuerySteps);
    ~MBTilesArchive() override;

    bool tile(int z, long long x, long long y, std::string* bytes) override;
    bool forEachTile(const Visitor& visit, std::string* error) override;
    bool forEachTileAt(int z, long long minX, long long minY, long long maxX, long long maxY, const CellVisitor& visit,
                       std::string* error) override;

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
};

#endif
