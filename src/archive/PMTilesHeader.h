#ifndef TESSEL_PMTILESHEADER_H
#define TESSEL_PMTILESHEADER_H

#include <cstdint>
#include <string>

namespace PMTiles {

// The fixed 127-byte header of a version 3 archive.
struct Header {
    static constexpr std::size_t size = 127;
    enum Compression { unknownCompression = 0, none = 1, gzip = 2, brotli = 3, zstd = 4 };
    enum TileType { unknownType = 0, mvt = 1, png = 2, jpeg = 3, webp = 4, avif = 5 };

    std::uint64_t rootOffset = 0, rootLength = 0, metadataOffset = 0, metadataLength = 0;
    std::uint64_t leafOffset = 0, leafLength = 0, dataOffset = 0, dataLength = 0;
    std::uint64_t addressedTiles = 0, tileEntries = 0, tileContents = 0;
    bool clustered = false;
    int internalCompression = none, tileCompression = none, tileType = unknownType;
    int minZoom = 0, maxZoom = 0, centreZoom = 0;
    double west = 0, south = 0, east = 0, north = 0, centreLon = 0, centreLat = 0;

    // Reads the header from the first bytes of an archive; false with
    // *error when they are not a version 3 header.
    bool parse(const std::string& bytes, std::string* error);
    // Whether every section lies inside an archive of `size` bytes (a cut
    // file does not open as an empty map); false with *error otherwise.
    bool sectionsFit(std::uint64_t size, std::string* error) const;
    // The 127 bytes as stored.
    std::string bytes() const;
};

} // namespace PMTiles

#endif
