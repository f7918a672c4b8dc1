#ifndef TESSEL_PACK_MBTILESWRITER_H
#define TESSEL_PACK_MBTILESWRITER_H

#include <cstdint>
#include <map>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// Writes an MBTiles file with equal tiles stored once (`images` and `map`,
// `tiles` a view), as readers of the format expect. An existing file made
// by this writer is continued: tiles it holds, and those a server said it
// does not have (kept in `tessel_absent`), are known. Rows are given from
// the north and stored in TMS order.
class MBTilesWriter {
public:
    // Whether `path` is an MBTiles file this writer made (and may continue).
    static bool madeHere(const std::string& path);

    MBTilesWriter() = default;
    ~MBTilesWriter();
    MBTilesWriter(const MBTilesWriter&) = delete;
    MBTilesWriter& operator=(const MBTilesWriter&) = delete;

    // Creates the tables that are missing. `scratch`: a file nobody reads
    // until it is complete (no journal, no syncs until close).
    bool open(const std::string& path, bool scratch, std::string* error);
    bool add(int z, long long x, long long y, const std::string& bytes, std::string* error);
    // Whether the file holds the tile, or knows the server has none.
    bool known(int z, long long x, long long y);
    bool markAbsent(int z, long long x, long long y, std::string* error);
    // One stored tile's bytes; false when there is none.
    bool sampleTile(std::string* bytes);
    // Replaces the metadata.
    bool setMetadata(const std::map<std::string, std::string>& rows, std::string* error);
    // Makes what was added so far last.
    bool commit(std::string* error);
    // Commits and closes the file.
    bool close(std::string* error);

    std::uint64_t added = 0;

private:
    bool run(const char* sql, std::string* error);
    bool storeImage(const std::string& bytes, long long* id, std::string* error);
    bool failed(std::string* error);

    sqlite3* db = nullptr;
    sqlite3_stmt *findImage = nullptr, *insertImage = nullptr, *insertMap = nullptr, *findTile = nullptr,
                 *insertAbsent = nullptr;
};

#endif
