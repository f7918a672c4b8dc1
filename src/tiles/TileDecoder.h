#ifndef TESSEL_TILEDECODER_H
#define TESSEL_TILEDECODER_H

#include "Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Encoded tile bytes straight to the screen format: PNG through libspng,
// JPEG through libjpeg(-turbo), WebP through libwebp, GIF and BMP through
// SDL_image once their headers are measured; other formats are refused. Tiles of another size are scaled to the tile size. Safe to call
// from any thread; every failure is a false return with a reason.
namespace TileDecoder {

// Images declaring more pixels than this on either edge are refused before
// they are decoded.
const int maxEdge = 4096;

enum class Format { png, jpeg, webp, gif, vector, unknown };
Format sniff(const std::uint8_t* data, std::size_t size);
const char* formatName(Format format);

bool decode(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error);
inline bool decode(const std::string& bytes, int tileSize, Bitmap* out, std::string* error)
{
    return decode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), tileSize, out, error);
}

// The format decoders behind decode(); the same contract.
bool decodePng(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error);
bool decodeJpeg(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error);
bool decodeWebp(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error);
bool decodeWithSdl(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error);

// The 8-bit RGBA pixels of a PNG or WebP image at its own size, rows from
// the top: for tiles whose colours are data (elevations), which the 565
// screen format would round away. Other formats are refused.
bool decodeRgba(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* rgba, int* width,
                int* height, std::string* error);

// True when w x h is an image the decoders accept; sets *error otherwise.
bool acceptableSize(long long w, long long h, std::string* error);

} // namespace TileDecoder

#endif
