#include "PMTilesHeader.h"

#include <cmath>

namespace PMTiles {

namespace {

std::uint64_t le(const unsigned char* p, int bytes)
{
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

double degrees(const unsigned char* p)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(le(p, 4))) / 1e7;
}

void putLe(std::string* out, std::uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        *out += static_cast<char>((v >> (8 * i)) & 0xff);
}

void putDegrees(std::string* out, double d)
{
    putLe(out, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(d * 1e7))), 4);
}

} // namespace

bool Header::parse(const std::string& raw, std::string* error)
{
    if (raw.compare(0, 7, "PMTiles") != 0) {
        *error = "not a PMTiles archive";
        return false;
    }
    if (raw.size() < size) {
        *error = "not a PMTiles archive (cut short)";
        return false;
    }
    if (raw[7] != 3) {
        *error = "PMTiles version " + std::to_string(static_cast<unsigned char>(raw[7])) +
                 " is not supported; convert it to version 3";
        return false;
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(raw.data());
    std::uint64_t* fields[] = {&rootOffset, &rootLength, &metadataOffset, &metadataLength, &leafOffset, &leafLength,
                               &dataOffset, &dataLength, &addressedTiles, &tileEntries, &tileContents};
    for (int i = 0; i < 11; ++i)
        *fields[i] = le(p + 8 + 8 * i, 8);
    clustered = p[96] == 1;
    internalCompression = p[97];
    tileCompression = p[98];
    tileType = p[99];
    minZoom = p[100];
    maxZoom = p[101];
    west = degrees(p + 102);
    south = degrees(p + 106);
    east = degrees(p + 110);
    north = degrees(p + 114);
    centreZoom = p[118];
    centreLon = degrees(p + 119);
    centreLat = degrees(p + 123);
    return true;
}

std::string Header::bytes() const
{
    std::string out = "PMTiles";
    out += '\x03';
    for (std::uint64_t v : {rootOffset, rootLength, metadataOffset, metadataLength, leafOffset, leafLength, dataOffset,
                            dataLength, addressedTiles, tileEntries, tileContents})
        putLe(&out, v, 8);
    for (int v : {clustered ? 1 : 0, internalCompression, tileCompression, tileType, minZoom, maxZoom})
        out += static_cast<char>(v);
    for (double d : {west, south, east, north})
        putDegrees(&out, d);
    out += static_cast<char>(centreZoom);
    putDegrees(&out, centreLon);
    putDegrees(&out, centreLat);
    return out;
}

bool Header::sectionsFit(std::uint64_t size, std::string* error) const
{
    const auto fits = [size](std::uint64_t offset, std::uint64_t length) {
        return offset <= size && length <= size - offset;
    };
    if (fits(rootOffset, rootLength) && fits(metadataOffset, metadataLength) && fits(leafOffset, leafLength) &&
        fits(dataOffset, dataLength))
        return true;
    *error = "the header names sections outside the archive (is the file cut short?)";
    return false;
}

} // namespace PMTiles
