#ifndef TESSEL_IMAGEHEADER_H
#define TESSEL_IMAGEHEADER_H

#include <cstddef>
#include <cstdint>
#include <string>

// The formats handed to SDL_image (GIF and BMP), measured from their own
// headers first: SDL_image's loaders trust the sizes they declare (a GIF
// frame of 65535 x 65535 crashes it), so nothing reaches them unmeasured.
// Bytes of any other format are refused.
namespace ImageHeader {

// The size the image declares (for a GIF, of its first frame and its
// screen, whichever is larger); false with *error when the bytes are not a
// GIF or BMP whose header can be read.
bool size(const std::uint8_t* data, std::size_t length, long long* width, long long* height, std::string* error);

} // namespace ImageHeader

#endif
