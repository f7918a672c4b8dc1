#ifndef TESSEL_PMTILESPICKER_H
#define TESSEL_PMTILESPICKER_H

#include "ByteSource.h"
#include "PMTilesDirectory.h"
#include "PMTilesHeader.h"

#include <functional>
#include <vector>

// Picks the tiles of some id ranges out of a PMTiles version 3 archive
// read through any byte source (a file, or a server's range requests):
// only the directories that may hold those ids are read, a depth at a
// time, and data in few large reads. Stored bytes are handed on as they
// are (never decompressed). Everything the archive declares is checked
// against its sections and bounded by the limits every PMTiles reader
// keeps (PMTilesDirectory.h).
class PMTilesPicker {
public:
    static constexpr std::size_t maxDirectoryBytes = PMTiles::maxDirectoryBytes;
    static constexpr std::size_t maxTileBytes = PMTiles::maxTileBytes;
    static constexpr std::uint64_t maxEntriesVisited = PMTiles::maxEntriesVisited;
    static constexpr std::uint64_t maxEntriesPicked = 4000000;
    static constexpr int maxLeafDepth = PMTiles::maxLeafDepth;

    // Ids from..to-1.
    struct IdRange {
        std::uint64_t from = 0, to = 0;
    };

    explicit PMTilesPicker(ByteSource& source) : source(source) {}

    // The directory entries one pick may visit, counted as each directory
    // is parsed (tests lower it).
    std::uint64_t entryLimit = maxEntriesVisited;
    // Metadata too large or damaged is left out ("{}") rather than refused:
    // the viewer shows the tiles of an archive whose name it cannot read,
    // while extract, which carries the metadata, refuses it.
    bool metadataOptional = false;

    // Reads the header, the root directory and the metadata (one read when
    // they lie in the first 16 KiB, as they should).
    bool open(std::string* error);
    const PMTiles::Header& header() const { return h; }
    const std::vector<PMTiles::Entry>& rootDirectory() const { return root; }
    // The metadata JSON, decompressed ("{}" when there is none).
    const std::string& metadata() const { return json; }

    // The tile entries whose ids lie in `wanted` (sorted, disjoint), runs
    // cut to them, in id order.
    bool pick(const std::vector<IdRange>& wanted, std::vector<PMTiles::Entry>* picked, std::string* error);

    // Reads the data of `entries` in reads joining spans less than `gap`
    // apart (each read at most `maxRead` bytes); `visit` gets each entry
    // with its stored bytes, in the order of their offsets, and returns
    // false to stop.
    using DataVisitor = std::function<bool(const PMTiles::Entry&, const std::string&)>;
    bool fetch(const std::vector<PMTiles::Entry>& entries, std::uint64_t gap, std::uint64_t maxRead,
               const DataVisitor& visit, std::string* error);

private:
    // A leaf directory still to read and the end of the ids it may hold.
    struct Leaf {
        PMTiles::Entry entry;
        std::uint64_t end = 0;
    };
    bool sectionsFit(std::string* error) const;
    bool section(const std::string& prefix, std::uint64_t offset, std::uint64_t length, std::string* out,
                 std::string* error);
    bool readDirectory(const std::string& stored, std::vector<PMTiles::Entry>* entries, bool* overBudget) const;
    std::string tooManyEntries() const;
    bool takeLeaves(const std::vector<Leaf>& leaves, const std::vector<IdRange>& wanted, std::vector<Leaf>* next,
                    std::vector<PMTiles::Entry>* picked, std::string* error);
    bool take(const std::vector<PMTiles::Entry>& directory, std::uint64_t end, const std::vector<IdRange>& wanted,
              std::vector<Leaf>* leaves, std::vector<PMTiles::Entry>* picked, std::string* error);

    ByteSource& source;
    PMTiles::Header h;
    std::vector<PMTiles::Entry> root;
    std::string json = "{}";
    std::uint64_t visited = 0;
};

#endif
