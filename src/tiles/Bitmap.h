#ifndef TESSEL_BITMAP_H
#define TESSEL_BITMAP_H

#include <cstddef>
#include <cstdint>
#include <vector>

// A square tile image in the screen's 16-bit format (RGB565, host order),
// with an optional 8-bit alpha plane. Plain memory, no SDL: decoders fill
// it on the loader thread.
struct Bitmap {
    int size = 0; // edge in pixels
    std::vector<std::uint16_t> rgb;
    std::vector<std::uint8_t> alpha; // empty: every pixel opaque

    void reset(int edge, bool withAlpha);
    bool opaque() const { return alpha.empty(); }
    std::size_t bytes() const { return rgb.size() * 2 + alpha.size(); }
    // Drops the alpha plane when every pixel is opaque.
    void dropOpaqueAlpha();
};

namespace Pixels {

inline std::uint16_t pack565(unsigned r, unsigned g, unsigned b)
{
    return static_cast<std::uint16_t>(((r & 0xf8u) << 8) | ((g & 0xfcu) << 3) | (b >> 3));
}

// The 8-bit channels of a 565 pixel, low bits filled from the high ones.
inline void unpack565(std::uint16_t p, unsigned* r, unsigned* g, unsigned* b)
{
    const unsigned r5 = p >> 11, g6 = (p >> 5) & 0x3fu, b5 = p & 0x1fu;
    *r = (r5 << 3) | (r5 >> 2);
    *g = (g6 << 2) | (g6 >> 4);
    *b = (b5 << 3) | (b5 >> 2);
}

// One row of 8-bit RGB or RGBA pixels into 565 (and alpha when `alpha` is
// not null).
void convertRgbRow(const std::uint8_t* in, int width, std::uint16_t* out);
void convertRgbaRow(const std::uint8_t* in, int width, std::uint16_t* out, std::uint8_t* alpha);

// A whole RGBA image of w x h into a `size` square: converted when it
// already has that size, else box-filtered (down) or repeated (up).
void fromRgba(const std::uint8_t* rgba, int w, int h, int size, Bitmap* out);

// `over` composited onto `base` (which stays opaque); both of one size.
void blendOver(Bitmap* base, const Bitmap& over);
// A translucent image flattened over an opaque colour.
void flattenOver(Bitmap* image, std::uint16_t backdrop);
// The square (x, y, edge) of `src` scaled up to `size` (nearest neighbour):
// a parent tile's quarter standing in for a missing child.
void cutAndScale(const Bitmap& src, int x, int y, int edge, int size, Bitmap* out);

} // namespace Pixels

#endif
