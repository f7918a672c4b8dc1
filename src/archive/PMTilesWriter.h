#ifndef TESSEL_PMTILESWRITER_H
#define TESSEL_PMTILESWRITER_H

#include "PMTilesDirectory.h"
#include "PMTilesHeader.h"

#include <string>
#include <unordered_map>
#include <vector>

// Writes a PMTiles version 3 archive. Tiles come in any order, as stored
// (never recompressed); equal bytes are kept once, and the data is laid
// out in id order (clustered). Their bytes wait in an
// unnamed file beside the output until finish() lays out header, root
// directory, metadata, leaf directories and data, in that order, with
// gzip'd directories (leaves when the root would not fit in the first
// 16 KiB).
class PMTilesWriter {
public:
    PMTilesWriter() = default;
    ~PMTilesWriter();
    PMTilesWriter(const PMTilesWriter&) = delete;
    PMTilesWriter& operator=(const PMTilesWriter&) = delete;

    // Creates (or truncates) `path`.
    bool open(const std::string& path, std::string* error);
    // `run` equal tiles from `tileId` on.
    bool add(std::uint64_t tileId, std::uint64_t run, const std::string& bytes, std::string* error);
    // Fills in the sections, counts and clustering of `header` (the caller
    // gives tile type, compression, levels, bounds and centre), writes
    // everything and syncs the file.
    bool finish(PMTiles::Header header, const std::string& metadataJson, std::string* error);

    std::uint64_t tileCount() const { return addressed; }

private:
    bool spool(const std::string& bytes, std::uint64_t* offset, std::string* error);
    bool sameAsSpooled(std::uint64_t offset, const std::string& bytes);
    bool writeAll(const std::string& bytes);
    bool copySpool(const std::vector<PMTiles::Entry>& order);
    void buildDirectories(std::string* root, std::string* leaves) const;

    int out = -1, data = -1;
    std::uint64_t dataSize = 0, addressed = 0;
    std::vector<PMTiles::Entry> entries;
    std::unordered_multimap<std::size_t, PMTiles::Entry> byHash; // stored contents, by a hash of their bytes
};

#endif
