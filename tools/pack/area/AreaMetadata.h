#ifndef TESSEL_PACK_AREAMETADATA_H
#define TESSEL_PACK_AREAMETADATA_H

#include <map>
#include <string>

// The metadata of an extract: the source's, carried between the two
// archive kinds (PMTiles keeps one JSON object, MBTiles name/value rows),
// with bounds, centre and levels made those of the extract.
namespace AreaMetadata {

struct Extent {
    double west = -180, south = -85.0511, east = 180, north = 85.0511;
    int minZoom = 0, maxZoom = 0;
    double centreLon = 0, centreLat = 0;
    int centreZoom = 0;
};

// Rows as one JSON object: text rows as strings, the "json" row's members
// merged in (as PMTiles keeps them).
std::string rowsToJson(const std::map<std::string, std::string>& rows);
// A JSON object (anything else counts as empty) as MBTiles rows with the
// extent and `format`; members that are not text go into the "json" row.
std::map<std::string, std::string> jsonToRows(const std::string& json, const Extent& extent, const std::string& format);
// The JSON object with the extent written where it names one.
std::string withExtent(const std::string& json, const Extent& extent);

// PMTiles tile types and MBTiles format names ("png", "jpg", "webp", "pbf").
int tileType(const std::string& format);
std::string formatOf(int tileType);
// The type `format` names, else the one a tile's first bytes show.
int tileTypeOf(const std::string& format, const std::string& sample);

} // namespace AreaMetadata

#endif
