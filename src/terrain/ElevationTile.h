#ifndef TESSEL_ELEVATIONTILE_H
#define TESSEL_ELEVATIONTILE_H

#include "ElevationEncoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One elevation tile decoded once into metres, shared (as a pointer to
// const) by shading, contours and point look-ups. NaN marks no data:
// transparent pixels and values no place on Earth has.
struct ElevationTile {
    // Square tiles of these edges only: a 1×1 or 8×8 "tile" is no map.
    static constexpr int minEdge = 16, maxEdge = 1024;

    int edge = 0;
    std::vector<float> metres; // edge × edge, rows from the north
    bool hasVoids = false;

    float at(int x, int y) const { return metres[static_cast<std::size_t>(y) * edge + x]; }
    std::size_t bytes() const { return metres.size() * sizeof(float); }

    // Decodes PNG or WebP bytes; false with *why when they are no image,
    // not square, of a refused size, or colours that are not elevations
    // (a photo: many values out of range, and not one void marker).
    static bool decode(const std::string& bytes, ElevationEncoding encoding, ElevationTile* out, std::string* why);
    // From 8-bit RGBA pixels already decoded.
    static bool fromRgba(const std::uint8_t* rgba, int edge, ElevationEncoding encoding, ElevationTile* out,
                         std::string* why);
};

#endif
