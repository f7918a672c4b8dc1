// Fuzz target for the tile decoders (PNG, JPEG, WebP and SDL_image's
// others), at a small tile size so that scaling runs too.
#include "TileDecoder.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bitmap tile;
    std::string error;
    if (TileDecoder::decode(data, size, 32, &tile, &error)) {
        if (tile.size != 32 || tile.rgb.size() != 32u * 32u || (!tile.alpha.empty() && tile.alpha.size() != 32u * 32u))
            __builtin_trap();
    } else if (error.empty()) {
        __builtin_trap();
    }
    return 0;
}
