// WebP tiles through libwebp.
#include "TileDecoder.h"

#include <vector>
#include <webp/decode.h>

namespace TileDecoder {

bool decodeWebp(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error)
{
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK) {
        if (error)
            *error = "damaged WebP";
        return false;
    }
    if (!acceptableSize(features.width, features.height, error))
        return false;
    out->sourceWidth = features.width;
    out->sourceHeight = features.height;
    const int w = features.width, h = features.height;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * (features.has_alpha ? 4 : 3));
    const bool ok = features.has_alpha
                        ? WebPDecodeRGBAInto(data, size, pixels.data(), pixels.size(), w * 4) != nullptr
                        : WebPDecodeRGBInto(data, size, pixels.data(), pixels.size(), w * 3) != nullptr;
    if (!ok) {
        if (error)
            *error = "damaged WebP";
        return false;
    }
    if (!features.has_alpha && w == tileSize && h == tileSize) {
        out->reset(tileSize, false);
        for (int y = 0; y < h; ++y)
            Pixels::convertRgbRow(&pixels[static_cast<std::size_t>(y) * w * 3], w, &out->rgb[static_cast<std::size_t>(y) * w]);
        return true;
    }
    if (!features.has_alpha) {
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * 4);
        for (std::size_t i = 0, j = 0; i < pixels.size(); i += 3, j += 4) {
            rgba[j] = pixels[i];
            rgba[j + 1] = pixels[i + 1];
            rgba[j + 2] = pixels[i + 2];
            rgba[j + 3] = 255;
        }
        pixels.swap(rgba);
    }
    Pixels::fromRgba(pixels.data(), w, h, tileSize, out);
    return true;
}

} // namespace TileDecoder
