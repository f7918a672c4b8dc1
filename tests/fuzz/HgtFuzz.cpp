// Fuzz target for .hgt reading: the bytes as a file (refused unless of a
// tile's size), then repeated to a 3″ tile's size so that the samples,
// voids and their filling see every pattern.
#include "HgtTile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    HgtTile tile;
    std::string why;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!HgtTile::fromBytes(bytes, &tile, &why) && why.empty())
        __builtin_trap();
    if (size == 0)
        return 0;
    std::string whole;
    const std::size_t tileBytes = 1201u * 1201u * 2u;
    whole.reserve(tileBytes);
    while (whole.size() < tileBytes)
        whole.append(bytes, 0, std::min(bytes.size(), tileBytes - whole.size()));
    if (!HgtTile::fromBytes(whole, &tile, &why) || tile.samples != 1201)
        __builtin_trap();
    const std::size_t before = tile.voids();
    const std::size_t filled = tile.fillVoids(2);
    if (tile.voids() + filled != before)
        __builtin_trap();
    return 0;
}
