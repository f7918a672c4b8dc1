// PNG tiles through libspng: palettes through a 565 table, other images as
// 8-bit RGB or RGBA rows converted in one pass.
#include "TileDecoder.h"

#include <memory>
#include <spng.h>
#include <vector>

namespace TileDecoder {

namespace {

struct ContextFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};

bool fail(std::string* error, const char* why, int code = 0)
{
    if (error)
        *error = code ? std::string(why) + ": " + spng_strerror(code) : why;
    return false;
}

// One row of packed indices of `Depth` bits through the table.
template <int Depth>
void lookUpRow(const std::uint8_t* row, int width, const std::uint16_t* table, std::uint16_t* out)
{
    const int perByte = 8 / Depth;
    const unsigned mask = (1u << Depth) - 1;
    int x = 0;
    for (; x + perByte <= width; x += perByte, ++row)
        for (int k = 0; k < perByte; ++k)
            out[x + k] = table[(*row >> (8 - Depth * (k + 1))) & mask];
    for (int k = 0; x + k < width; ++k)
        out[x + k] = table[(*row >> (8 - Depth * (k + 1))) & mask];
}

void lookUpRow(int depth, const std::uint8_t* row, int width, const std::uint16_t* table, std::uint16_t* out)
{
    switch (depth) {
    case 1:
        return lookUpRow<1>(row, width, table, out);
    case 2:
        return lookUpRow<2>(row, width, table, out);
    case 4:
        return lookUpRow<4>(row, width, table, out);
    default:
        for (int x = 0; x < width; ++x)
            out[x] = table[row[x]];
    }
}

// Palette images of any depth as the raw indices, through the table in
// 565 (and alpha from tRNS): far cheaper than expanding to RGB first.
bool decodePalette(spng_ctx* ctx, int size, int depth, Bitmap* out, std::string* error)
{
    spng_plte plte;
    if (int e = spng_get_plte(ctx, &plte))
        return fail(error, "palette missing", e);
    spng_trns trns;
    const bool hasTrns = spng_get_trns(ctx, &trns) == 0;
    std::uint16_t colour[256] = {};
    std::uint8_t alpha[256];
    bool translucent = false;
    for (unsigned i = 0; i < 256; ++i) {
        if (i < plte.n_entries)
            colour[i] = Pixels::pack565(plte.entries[i].red, plte.entries[i].green, plte.entries[i].blue);
        alpha[i] = hasTrns && i < trns.n_type3_entries ? trns.type3_alpha[i] : 255;
        translucent = translucent || alpha[i] != 255;
    }
    const std::size_t rowBytes = (static_cast<std::size_t>(size) * depth + 7) / 8;
    std::vector<std::uint8_t> packed(rowBytes * size);
    if (int e = spng_decode_image(ctx, packed.data(), packed.size(), SPNG_FMT_PNG, 0))
        return fail(error, "damaged PNG", e);
    out->reset(size, translucent);
    // Alpha goes through the same lookup: a table of alpha values as 16 bits.
    std::uint16_t alpha16[256];
    std::vector<std::uint16_t> alphaRow(translucent ? static_cast<std::size_t>(size) : 0);
    for (int i = 0; i < 256; ++i)
        alpha16[i] = alpha[i];
    for (int y = 0; y < size; ++y) {
        const std::uint8_t* row = &packed[rowBytes * static_cast<std::size_t>(y)];
        const std::size_t at = static_cast<std::size_t>(y) * size;
        lookUpRow(depth, row, size, colour, &out->rgb[at]);
        if (!translucent)
            continue;
        lookUpRow(depth, row, size, alpha16, alphaRow.data());
        for (int x = 0; x < size; ++x)
            out->alpha[at + x] = static_cast<std::uint8_t>(alphaRow[static_cast<std::size_t>(x)]);
    }
    if (translucent)
        out->dropOpaqueAlpha();
    return true;
}

bool decodeRgb(spng_ctx* ctx, int size, Bitmap* out, std::string* error)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(size) * size * 3);
    if (int e = spng_decode_image(ctx, rgb.data(), rgb.size(), SPNG_FMT_RGB8, 0))
        return fail(error, "damaged PNG", e);
    out->reset(size, false);
    for (int y = 0; y < size; ++y)
        Pixels::convertRgbRow(&rgb[static_cast<std::size_t>(y) * size * 3], size, &out->rgb[static_cast<std::size_t>(y) * size]);
    return true;
}

bool decodeRgba(spng_ctx* ctx, int w, int h, int size, Bitmap* out, std::string* error)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * 4);
    if (int e = spng_decode_image(ctx, rgba.data(), rgba.size(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS))
        return fail(error, "damaged PNG", e);
    Pixels::fromRgba(rgba.data(), w, h, size, out);
    return true;
}

} // namespace

bool decodePng(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error)
{
    std::unique_ptr<spng_ctx, ContextFree> ctx(spng_ctx_new(0));
    if (!ctx)
        return fail(error, "out of memory");
    spng_set_image_limits(ctx.get(), maxEdge, maxEdge);
    // Text and other side chunks are never needed: keep their memory small.
    spng_set_chunk_limits(ctx.get(), 1u << 20, 4u << 20);
    if (int e = spng_set_png_buffer(ctx.get(), data, size))
        return fail(error, "not a PNG", e);
    spng_ihdr ihdr;
    if (int e = spng_get_ihdr(ctx.get(), &ihdr))
        return fail(error, "damaged PNG header", e);
    if (!acceptableSize(ihdr.width, ihdr.height, error))
        return false;
    out->sourceWidth = static_cast<int>(ihdr.width);
    out->sourceHeight = static_cast<int>(ihdr.height);
    const int w = static_cast<int>(ihdr.width), h = static_cast<int>(ihdr.height);
    const bool atSize = w == tileSize && h == tileSize;
    spng_trns trns;
    const bool hasTrns = spng_get_trns(ctx.get(), &trns) == 0;
    if (atSize && ihdr.color_type == SPNG_COLOR_TYPE_INDEXED)
        return decodePalette(ctx.get(), tileSize, ihdr.bit_depth, out, error);
    const bool hasAlpha = ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA ||
                          ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA || hasTrns;
    if (atSize && !hasAlpha)
        return decodeRgb(ctx.get(), tileSize, out, error);
    return decodeRgba(ctx.get(), w, h, tileSize, out, error);
}

} // namespace TileDecoder
