#ifndef TESSEL_SEARCH_OSMSOURCE_H
#define TESSEL_SEARCH_OSMSOURCE_H

#include "OsmTags.h"
#include "PlaceFinder.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class IndexWriter;
class Spool;
namespace osmium {
namespace io {
class File;
}
} // namespace osmium

// An OpenStreetMap extract (.osm.pbf, through libosmium) read into an
// index in three passes, so memory holds only the places, the named areas'
// relations and one position per way: the relations (named multipolygons
// and boundaries, and the way each stands on), the ways (what they are,
// and one node each to stand for them, kept in a spool), then the nodes
// (points of interest, addresses, places, and the positions of the nodes
// the ways asked for).
class OsmSource {
public:
    OsmSource(IndexWriter* writer, const std::string& scratchDirectory);

    bool readFile(const std::string& path, std::string* why);
    // The same from bytes in memory (the fuzz target's way in).
    bool readBytes(const char* data, std::size_t size, std::string* why);

    std::function<void(std::uint64_t, std::uint64_t)> progress;
    std::function<bool()> interrupted;
    std::uint64_t places = 0, streets = 0, pois = 0, addresses = 0, unplaced = 0, relations = 0;
    // Named areas kept from the relations' pass at the most (bounded memory).
    static const std::uint64_t maxRelations = 1000000;

private:
    bool run(const std::function<osmium::io::File()>& file, std::string* why);
    bool readRelations(const osmium::io::File& file, std::string* why);
    bool readWays(const osmium::io::File& file, Spool* ways, std::string* why);
    bool readNodes(const osmium::io::File& file, Spool* nodes, std::string* why);
    bool hand(Spool* spool, bool fromWays, std::string* why);
    bool stopped(std::string* why) const;

    IndexWriter* writer;
    std::string scratch;
    PlaceFinder finder;
    std::unordered_map<std::int64_t, std::vector<OsmTags::Found>> memberWays;  // way -> the areas it stands for
    std::vector<std::int64_t> wanted;  // nodes standing for ways, sorted
    std::vector<std::int64_t> positions;  // their positions (lat << 32 | lon, micro-degrees)
};

#endif
