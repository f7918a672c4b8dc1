#ifndef TESSEL_PMTILESARCHIVE_H
#define TESSEL_PMTILESARCHIVE_H

#include "ByteSource.h"
#include "PMTilesDirectory.h"
#include "PMTilesHeader.h"
#include "TileArchive.h"

#include <map>

// A PMTiles version 3 archive for the viewer, read through a byte source
// (a file's) and opened by the reader extract uses (PMTilesPicker: the
// header, its sections, the root and the metadata). The root directory is
// kept; leaf directories are read when a tile needs them and a few are kept.
// Everything the file declares is bounded before it is used, by the limits
// every PMTiles reader keeps (PMTilesDirectory.h): directories decompress
// to at most maxDirectoryBytes, a walk visits at most maxEntriesVisited
// entries (counted before a leaf is held) through at most maxLeafDepth leaf
// levels, a tile decompresses to at most maxTileBytes.
class PMTilesArchive : public TileArchive {
public:
    static constexpr std::size_t maxDirectoryBytes = PMTiles::maxDirectoryBytes;
    static constexpr std::size_t maxTileBytes = PMTiles::maxTileBytes;
    static constexpr std::uint64_t maxEntriesVisited = PMTiles::maxEntriesVisited;
    static constexpr int maxLeafDepth = PMTiles::maxLeafDepth;

    static std::unique_ptr<TileArchive> open(const std::string& path, std::string* error, Reading reading);
    static std::unique_ptr<TileArchive> open(std::unique_ptr<ByteSource> bytes, std::string* error, Reading reading);

    bool tile(int z, long long x, long long y, std::string* bytes) override;
    bool forEachTile(const Visitor& visit, std::string* error) override;
    bool forEachTileAt(int z, long long minX, long long minY, long long maxX, long long maxY, const CellVisitor& visit,
                       std::string* error) override;

    // The entries one walk may visit (tests lower it to reach it quickly).
    std::uint64_t entryLimit = maxEntriesVisited;

private:
    using EntryVisitor = std::function<bool(const PMTiles::Entry&)>;

    PMTilesArchive() = default;
    void readMetadata(const std::string& json);
    bool readLevels(std::string* error);
    bool walkLevels(PMTiles::Entry* first, bool* any, bool* tooMany, std::string* error);
    bool read(std::uint64_t offset, std::uint64_t length, std::string* out) const;
    bool decompress(int compression, std::string* bytes, std::size_t limit) const;
    bool loadDirectory(std::uint64_t offset, std::uint64_t length, std::vector<PMTiles::Entry>* entries,
                       std::uint64_t maxEntries = ~0ull, bool* overBudget = nullptr) const;
    const std::vector<PMTiles::Entry>* leaf(PMTiles::Entry e);
    bool tileData(const PMTiles::Entry& e, std::string* bytes) const;
    // Every tile entry under the root, leaves included; false with *error
    // when a directory is damaged or a limit is passed.
    struct WalkState {
        std::uint64_t visited = 0;
        bool stopped = false;
        std::uint64_t from = 0, to = ~0ull; // the ids wanted
        std::uint64_t limit = 0;
        bool overLimit = false;
    };
    // With overLimit, the walk stops at maxEntriesWalkedAtOpen and says so.
    bool walk(const EntryVisitor& visit, std::string* error, std::uint64_t from = 0, std::uint64_t to = ~0ull,
              bool* overLimit = nullptr);
    bool walkDirectory(const std::vector<PMTiles::Entry>& entries, int depth, std::uint64_t end, WalkState* state,
                       const EntryVisitor& visit, std::string* error);

    std::unique_ptr<ByteSource> bytes; // read from the loader's thread too: reads keep no state
    PMTiles::Header h;
    std::vector<PMTiles::Entry> root;
    std::map<std::uint64_t, std::vector<PMTiles::Entry>> leaves; // by offset; a few kept
};

#endif
