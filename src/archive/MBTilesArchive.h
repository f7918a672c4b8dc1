#ifndef TESSEL_MBTILESARCHIVE_H
#define TESSEL_MBTILESARCHIVE_H

#include "TileArchive.h"

struct sqlite3;
struct sqlite3_stmt;

// An MBTiles file read through SQLite, opened read-only and immutable (the
// file is never locked or written). Tiles are looked up by one prepared
// statement; rows are flipped from the file's TMS order.
class MBTilesArchive : public TileArchive {
public:
    static std::unique_ptr<TileArchive> open(const std::string& path, std::string* error, Reading reading);
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

    sqlite3* db = nullptr;
    sqlite3_stmt* lookup = nullptr;
};

#endif
