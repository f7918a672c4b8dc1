#include "Bitmap.h"

#include <algorithm>
#include <cstddef>

void Bitmap::reset(int edge, bool withAlpha)
{
    size = edge;
    const std::size_t n = static_cast<std::size_t>(edge) * static_cast<std::size_t>(edge);
    rgb.clear();
    rgb.resize(n);
    if (withAlpha)
        alpha.assign(n, 255);
    else
        alpha.clear();
}

void Bitmap::fill(std::uint16_t colour)
{
    std::fill(rgb.begin(), rgb.end(), colour);
}

void Bitmap::dropOpaqueAlpha()
{
    if (std::all_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a == 255; }))
        alpha.clear();
}

namespace Pixels {

namespace {

// x / 255 rounded, for x up to 255 * 255.
inline unsigned div255(unsigned x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

inline std::uint16_t mix(std::uint16_t over, std::uint16_t under, unsigned a)
{
    unsigned r1, g1, b1, r0, g0, b0;
    unpack565(over, &r1, &g1, &b1);
    unpack565(under, &r0, &g0, &b0);
    const unsigned na = 255 - a;
    return pack565(div255(r1 * a + r0 * na), div255(g1 * a + g0 * na), div255(b1 * a + b0 * na));
}

} // namespace

void convertRgbRow(const std::uint8_t* in, int width, std::uint16_t* out)
{
    for (int x = 0; x < width; ++x, in += 3)
        out[x] = pack565(in[0], in[1], in[2]);
}

void convertRgbaRow(const std::uint8_t* in, int width, std::uint16_t* out, std::uint8_t* alpha)
{
    for (int x = 0; x < width; ++x, in += 4) {
        out[x] = pack565(in[0], in[1], in[2]);
        if (alpha)
            alpha[x] = in[3];
    }
}

void fromRgba(const std::uint8_t* rgba, int w, int h, int size, Bitmap* out)
{
    out->reset(size, true);
    if (w == size && h == size) {
        for (int y = 0; y < size; ++y)
            convertRgbaRow(rgba + static_cast<std::size_t>(y) * w * 4, w, &out->rgb[static_cast<std::size_t>(y) * size],
                           &out->alpha[static_cast<std::size_t>(y) * size]);
        out->dropOpaqueAlpha();
        return;
    }
    // Each target pixel averages the source box it covers (at least one
    // source pixel, so enlarging repeats pixels). Colours are weighted by
    // alpha so transparent pixels lend no colour.
    for (int ty = 0; ty < size; ++ty) {
        const int y0 = static_cast<int>(static_cast<long long>(ty) * h / size);
        const int y1 = std::max(y0 + 1, static_cast<int>(static_cast<long long>(ty + 1) * h / size));
        for (int tx = 0; tx < size; ++tx) {
            const int x0 = static_cast<int>(static_cast<long long>(tx) * w / size);
            const int x1 = std::max(x0 + 1, static_cast<int>(static_cast<long long>(tx + 1) * w / size));
            unsigned long long r = 0, g = 0, b = 0, a = 0, n = 0;
            for (int y = y0; y < y1; ++y) {
                const std::uint8_t* p = rgba + (static_cast<std::size_t>(y) * w + x0) * 4;
                for (int x = x0; x < x1; ++x, p += 4) {
                    r += p[0] * p[3];
                    g += p[1] * p[3];
                    b += p[2] * p[3];
                    a += p[3];
                    ++n;
                }
            }
            const std::size_t i = static_cast<std::size_t>(ty) * size + tx;
            out->alpha[i] = static_cast<std::uint8_t>((a + n / 2) / n);
            out->rgb[i] = a ? pack565(static_cast<unsigned>(r / a), static_cast<unsigned>(g / a), static_cast<unsigned>(b / a)) : 0;
        }
    }
    out->dropOpaqueAlpha();
}

void blendOver(Bitmap* base, const Bitmap& over, unsigned opacity)
{
    if (over.size != base->size || opacity == 0)
        return;
    const std::size_t n = base->rgb.size();
    if (opacity < 255) {
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned a = (over.opaque() ? 255u : over.alpha[i]) * opacity / 255;
            if (a != 0)
                base->rgb[i] = mix(over.rgb[i], base->rgb[i], a);
        }
        return;
    }
    if (over.opaque()) {
        base->rgb = over.rgb;
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned a = over.alpha[i];
        if (a == 255)
            base->rgb[i] = over.rgb[i];
        else if (a != 0)
            base->rgb[i] = mix(over.rgb[i], base->rgb[i], a);
    }
}

void flattenOver(Bitmap* image, std::uint16_t backdrop)
{
    if (image->opaque())
        return;
    const std::size_t n = image->rgb.size();
    for (std::size_t i = 0; i < n; ++i)
        image->rgb[i] = mix(image->rgb[i], backdrop, image->alpha[i]);
    image->alpha.clear();
}

namespace {

// `count` pixels each written `f` times: one row scaled by a whole factor.
template <typename T> void widenRow(const T* from, int count, int f, T* to)
{
    // The common factors spelled out, so that the compiler vectorises them.
    if (f == 2) {
        for (int i = 0; i < count; ++i)
            to[2 * i] = to[2 * i + 1] = from[i];
        return;
    }
    if (f == 4) {
        for (int i = 0; i < count; ++i)
            to[4 * i] = to[4 * i + 1] = to[4 * i + 2] = to[4 * i + 3] = from[i];
        return;
    }
    for (int i = 0; i < count; ++i)
        std::fill_n(to + static_cast<std::ptrdiff_t>(i) * f, f, from[i]);
}

// The same square scaled by a whole factor: each source row is widened once
// and copied to the rows it covers. Stand-ins are made on the main thread
// as a column of cells comes into view, so this is what that frame costs.
template <typename Plane> void scaleWhole(const Plane& src, int srcSize, int x, int y, int edge, int f, Plane* out)
{
    const std::size_t size = static_cast<std::size_t>(edge) * static_cast<std::size_t>(f);
    for (int sy = 0; sy < edge; ++sy) {
        auto* row = &(*out)[static_cast<std::size_t>(sy) * static_cast<std::size_t>(f) * size];
        widenRow(&src[static_cast<std::size_t>(y + sy) * static_cast<std::size_t>(srcSize) + static_cast<std::size_t>(x)],
                 edge, f, row);
        for (int k = 1; k < f; ++k)
            std::copy_n(row, size, row + static_cast<std::size_t>(k) * size);
    }
}

} // namespace

void cutAndScale(const Bitmap& src, int x, int y, int edge, int size, Bitmap* out)
{
    out->reset(size, !src.opaque());
    if (edge <= 0 || x < 0 || y < 0 || x + edge > src.size || y + edge > src.size) {
        out->fill(0);
        return;
    }
    if (size % edge == 0) {
        scaleWhole(src.rgb, src.size, x, y, edge, size / edge, &out->rgb);
        if (!src.opaque())
            scaleWhole(src.alpha, src.size, x, y, edge, size / edge, &out->alpha);
        return;
    }
    std::vector<int> column(static_cast<std::size_t>(size));
    for (int tx = 0; tx < size; ++tx)
        column[static_cast<std::size_t>(tx)] = x + tx * edge / size;
    for (int ty = 0; ty < size; ++ty) {
        const std::size_t from = static_cast<std::size_t>(y + ty * edge / size) * src.size;
        std::uint16_t* row = &out->rgb[static_cast<std::size_t>(ty) * size];
        for (int tx = 0; tx < size; ++tx)
            row[tx] = src.rgb[from + column[static_cast<std::size_t>(tx)]];
        if (!src.opaque())
            for (int tx = 0; tx < size; ++tx)
                out->alpha[static_cast<std::size_t>(ty) * size + tx] = src.alpha[from + column[static_cast<std::size_t>(tx)]];
    }
}

} // namespace Pixels
