#ifndef TESSEL_PACK_AREABOX_H
#define TESSEL_PACK_AREABOX_H

#include "PMTilesPicker.h"

#include <string>
#include <vector>

// The columns and rows of one level, rows counted from the north.
struct TileRect {
    long long minX = 0, minY = 0, maxX = 0, maxY = 0;
    long long count() const { return (maxX - minX + 1) * (maxY - minY + 1); }
};

// An area given as W,S,E,N degrees. West beyond east crosses the date line
// (two boxes); latitudes are clamped to what Web Mercator shows.
struct AreaBox {
    static constexpr double maxLatitude = 85.0511287798;
    double west = -180, south = -maxLatitude, east = 180, north = maxLatitude;

    // False with *error for anything but four numbers in range with the
    // south below the north.
    static bool parse(const std::string& text, AreaBox* box, std::string* error);
    bool crossesDateLine() const { return west > east; }

    // The tiles of level z whose extent meets the box (the area of a tile,
    // not only its edge).
    std::vector<TileRect> tiles(int z) const;
    long long tileCount(int z) const;
    // Their PMTiles ids as sorted, disjoint ranges; false when there would
    // be more than `limit` ranges.
    bool idRanges(int z, std::vector<PMTilesPicker::IdRange>* ranges, std::size_t limit = 4000000) const;
};

#endif
