#ifndef TESSEL_PACK_CODECS_H
#define TESSEL_PACK_CODECS_H

#include "Bitmap.h"

#include <SDL.h>
#include <string>

// Encoders and decompression through the system libraries (libpng, libjpeg,
// zlib); nothing here codes a format by hand.
namespace Codecs {

// PNG of a 32-bit surface in the byte order R, G, B, A (with alpha) or of a
// 24-bit one in the order R, G, B; other depths are refused (an exception).
std::string encodePng(SDL_Surface* rgba);
// PNG of a decoded tile (its 16-bit colours widened, its alpha kept).
std::string encodeBitmap(const Bitmap& bitmap);
// PNG of an opaque picture drawn from vector data: RGB rows unfiltered at
// zlib level 4. Flat areas of few colours compress best so: a third
// smaller than libpng's defaults and five times quicker.
std::string encodeDrawn(const Bitmap& bitmap);
// Baseline JPEG of a 24-bit surface in the byte order R, G, B.
std::string encodeJpeg(SDL_Surface* rgb, int quality);
// True when the viewer's tile decoder takes the bytes.
bool decodable(const std::string& bytes);

// New surfaces in the byte orders the encoders take.
SDL_Surface* newRgba(int w, int h);
SDL_Surface* newRgb(int w, int h);

} // namespace Codecs

#endif
