#ifndef TESSEL_ELEVATIONENCODING_H
#define TESSEL_ELEVATIONENCODING_H

#include "TileArchive.h"

#include <cstdint>
#include <string>

// How a tile's colours hold elevations: Terrarium ((R·256 + G + B/256) −
// 32768 m) or Mapbox terrain-RGB (−10000 + (R·65536 + G·256 + B)·0.1 m).
enum class ElevationEncoding { none, terrarium, mapbox };

namespace Elevations {

// Elevations outside these (metres) are no data: nothing on Earth lies
// there, so a value beyond them is a void marker or not an elevation.
const float lowest = -12000.f, highest = 9000.f;

// "terrarium" or "mapbox" (any case); false for anything else.
bool encodingByName(const std::string& name, ElevationEncoding* encoding);
const char* encodingName(ElevationEncoding encoding);
// What an archive declares: its "encoding" metadata, else the key of that
// name in its metadata JSON; none when it declares neither.
ElevationEncoding encodingOf(const ArchiveInfo& info);

inline float decodeTerrarium(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return static_cast<float>(r * 256 + g) + static_cast<float>(b) / 256.f - 32768.f;
}

inline float decodeMapbox(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return -10000.f + static_cast<float>(r * 65536 + g * 256 + b) * 0.1f;
}

// The Terrarium colour of an elevation (metres, rounded to 1/256 m).
void encodeTerrarium(double metres, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b);

} // namespace Elevations

#endif
