#ifndef TESSEL_TEST_ARCHIVES_H
#define TESSEL_TEST_ARCHIVES_H

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

// Tile archives made up by tests and benchmarks.

// Every tile of an archive, ordered by level, column and row; none when it
// cannot be read.
std::vector<std::string> archiveTiles(const std::string& path);

// Every tile of a PMTiles or MBTiles file as stored (never decompressed),
// keyed (z, x, row from the north); runs give each of their cells.
std::map<std::tuple<int, long long, long long>, std::string> storedTiles(const std::string& path);

// An MBTiles file: tiles (z, column, TMS row, bytes) and metadata pairs.
void writeMBTiles(const std::string& path, const std::vector<std::tuple<int, int, int, std::string>>& tiles,
                  const std::vector<std::pair<std::string, std::string>>& metadata = {{"name", "Little world"},
                                                                                      {"format", "png"}});

// A PMTiles file of tiles keyed (z, x, y) with rows from the north.
struct PMTilesLayout {
    std::map<std::tuple<int, int, int>, std::string> tiles;
    std::map<std::tuple<int, int, int>, std::uint64_t> runs; // a tile repeated over this many ids
    int version = 3;
    int tileType = 2;       // PNG
    bool gzipDirectories = false;
    std::size_t leafSize = 0; // entries per leaf directory; 0: all in the root
    std::string metadata = "{}";
    double west = -180, south = -85, east = 180, north = 85, centreLon = 0, centreLat = 0;
    int centreZoom = 0;
    // Hand-made directories in place of those the tiles give (hostile files).
    std::string rawRoot, rawLeaves;
    std::uint64_t declaredEntries = 0; // the header's tile entry count; 0: the real one
};
void writePMTiles(const std::string& path, const PMTilesLayout& layout);
// A directory as PMTiles stores it (uncompressed): entries of
// (tile id, offset, length, run length).
std::string pmDirectory(const std::vector<std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t>>& entries);

#endif
