#ifndef TESSEL_BITMAP_H
#define TESSEL_BITMAP_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// An allocator that leaves new elements uninitialised: decoders write every
// pixel, so zero-filling 128 KB first would only cost time.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept
    {
    }
    template <class U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// A square tile image in the screen's 16-bit format (RGB565, host order),
// with an optional 8-bit alpha plane. Plain memory, no SDL: decoders fill
// it on the loader thread.
struct Bitmap {
    int size = 0; // edge in pixels
    std::vector<std::uint16_t, UninitialisedAllocator<std::uint16_t>> rgb;
    std::vector<std::uint8_t> alpha; // empty: every pixel opaque
    int sourceWidth = 0, sourceHeight = 0; // of the encoded image it was decoded from

    // A new size; the colours are left for the caller to write, alpha (if
    // asked for) starts opaque.
    void reset(int edge, bool withAlpha);
    void fill(std::uint16_t colour);
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

// `over` laid on `under` with opacity alpha32 / 32 (0 to 32), all three
// channels at once: each is spread into its own field of a 32-bit word with
// room for the product.
inline std::uint16_t mix565(std::uint16_t under, std::uint16_t over, unsigned alpha32)
{
    const std::uint32_t fields = 0x07E0F81Fu;
    const std::uint32_t u = (under | static_cast<std::uint32_t>(under) << 16) & fields;
    const std::uint32_t o = (over | static_cast<std::uint32_t>(over) << 16) & fields;
    const std::uint32_t m = (u + ((o - u) * alpha32 >> 5)) & fields;
    return static_cast<std::uint16_t>(m | m >> 16);
}

// One row of 8-bit RGB or RGBA pixels into 565 (and alpha when `alpha` is
// not null).
void convertRgbRow(const std::uint8_t* in, int width, std::uint16_t* out);
void convertRgbaRow(const std::uint8_t* in, int width, std::uint16_t* out, std::uint8_t* alpha);

// A whole RGBA image of w x h into a `size` square: converted when it
// already has that size, else box-filtered (down) or repeated (up).
void fromRgba(const std::uint8_t* rgba, int w, int h, int size, Bitmap* out);

// `over` composited onto `base` (which stays opaque) with `opacity` (0 to
// 255) on top of its own alpha; both of one size.
void blendOver(Bitmap* base, const Bitmap& over, unsigned opacity = 255);
// A translucent image flattened over an opaque colour.
void flattenOver(Bitmap* image, std::uint16_t backdrop);
// The square (x, y, edge) of `src` scaled up to `size` (nearest neighbour):
// a parent tile's quarter standing in for a missing child.
void cutAndScale(const Bitmap& src, int x, int y, int edge, int size, Bitmap* out);

} // namespace Pixels

#endif
