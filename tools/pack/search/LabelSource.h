#ifndef TESSEL_PACK_LABELSOURCE_H
#define TESSEL_PACK_LABELSOURCE_H

#include "PlaceFinder.h"

#include <cstdint>
#include <functional>
#include <string>

class IndexWriter;
class TileArchive;
struct ArchiveLevel;
struct VectorLayer;
struct VectorFeature;
struct VectorTile;

// The labels of a vector archive (MBTiles or PMTiles of Mapbox Vector
// Tiles) read into a search index: its places, points of interest and
// street names, whatever the schema (OpenMapTiles, Mapbox Streets, raw
// OpenStreetMap tags). One level is read, the deepest up to 14, where an
// archive holds all its labels; the places first, as they name the place
// of the rest.
class LabelSource {
public:
    explicit LabelSource(IndexWriter* writer);

    bool readFile(const std::string& path, std::string* why);

    std::function<void(std::uint64_t, std::uint64_t)> progress;
    std::function<bool()> interrupted;
    std::uint64_t places = 0, streets = 0, pois = 0, addresses = 0, unplaced = 0, badTiles = 0;

private:
    enum class Pass { places, rest };
    bool readLevel(TileArchive& archive, const ArchiveLevel& level, Pass pass, std::uint64_t* done,
                   std::string* why);
    void readTile(const VectorTile& tile, int z, long long x, long long y, Pass pass);
    void readFeature(const VectorLayer& layer, const VectorFeature& feature, int z, long long x, long long y,
                     Pass pass);

    IndexWriter* writer;
    PlaceFinder finder;
};

#endif
