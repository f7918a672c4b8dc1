#ifndef TESSEL_HGTTILE_H
#define TESSEL_HGTTILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One SRTM .hgt tile: a square of samples over one degree, 3601² (1″) or
// 1201² (3″), big-endian 16-bit metres in rows from the north, −32768
// where the survey saw nothing. Its corner comes from its name
// (N57E011.hgt: 57° N, 11° E is the south-west corner).
struct HgtTile {
    static constexpr std::int16_t voidValue = -32768;

    int south = 0, west = 0; // degrees
    int samples = 0;         // per edge: 1201 or 3601
    std::vector<std::int16_t> heights; // samples², host order

    std::int16_t at(int x, int y) const { return heights[static_cast<std::size_t>(y) * samples + x]; }
    // Degrees between neighbouring samples.
    double spacing() const { return 1.0 / (samples - 1); }

    // Reads a file; false with *why when its name does not give a corner,
    // its size is neither of the two, or it cannot be read.
    static bool read(const std::string& path, HgtTile* out, std::string* why);
    // From the file's bytes (the corner set by the caller).
    static bool fromBytes(const std::string& bytes, HgtTile* out, std::string* why);
    // The south-west corner in a name like "N57E011.hgt" or "s01w072.HGT".
    static bool cornerFromName(const std::string& name, int* south, int* west);

    // Fills voids from their neighbours, up to `reach` samples into a hole
    // (each pass the mean of the known samples around); larger holes keep
    // their voids. Returns how many were filled.
    std::size_t fillVoids(int reach);
    std::size_t voids() const;
};

#endif
