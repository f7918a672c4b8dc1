// Tiles whose colours are data, decoded to exact 8-bit RGBA: libspng for
// PNG, libwebp for WebP.
#include "TileDecoder.h"

#include <memory>
#include <spng.h>
#include <webp/decode.h>

namespace TileDecoder {

namespace {

struct ContextFree {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

bool pngRgba(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* rgba, int* w, int* h,
             std::string* error)
{
    std::unique_ptr<spng_ctx, ContextFree> ctx(spng_ctx_new(0));
    if (!ctx)
        return fail(error, "out of memory");
    spng_set_image_limits(ctx.get(), maxEdge, maxEdge);
    spng_set_chunk_limits(ctx.get(), 1u << 20, 4u << 20);
    spng_ihdr ihdr;
    if (spng_set_png_buffer(ctx.get(), data, size) || spng_get_ihdr(ctx.get(), &ihdr))
        return fail(error, "damaged PNG header");
    if (!acceptableSize(ihdr.width, ihdr.height, error))
        return false;
    *w = static_cast<int>(ihdr.width);
    *h = static_cast<int>(ihdr.height);
    rgba->resize(static_cast<std::size_t>(*w) * *h * 4);
    if (int e = spng_decode_image(ctx.get(), rgba->data(), rgba->size(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS))
        return fail(error, std::string("damaged PNG: ") + spng_strerror(e));
    return true;
}

bool webpRgba(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* rgba, int* w, int* h,
              std::string* error)
{
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data, size, &features) != VP8_STATUS_OK)
        return fail(error, "damaged WebP");
    if (!acceptableSize(features.width, features.height, error))
        return false;
    *w = features.width;
    *h = features.height;
    rgba->resize(static_cast<std::size_t>(*w) * *h * 4);
    if (!WebPDecodeRGBAInto(data, size, rgba->data(), rgba->size(), *w * 4))
        return fail(error, "damaged WebP");
    return true;
}

} // namespace

bool decodeRgba(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>* rgba, int* width,
                int* height, std::string* error)
{
    switch (sniff(data, size)) {
    case Format::png:
        return pngRgba(data, size, rgba, width, height, error);
    case Format::webp:
        return webpRgba(data, size, rgba, width, height, error);
    case Format::unknown:
        return fail(error, "not an image");
    default:
        return fail(error, std::string(formatName(sniff(data, size))) + " cannot hold exact values (PNG or WebP only)");
    }
}

} // namespace TileDecoder
