#include "TileDecoder.h"

#include "ImageHeader.h"

#include <SDL.h>
#include <SDL_image.h>
#include <cstring>
#include <vector>

namespace TileDecoder {

namespace {

bool startsWith(const std::uint8_t* data, std::size_t size, const char* magic, std::size_t at = 0)
{
    const std::size_t n = std::strlen(magic);
    return size >= at + n && std::memcmp(data + at, magic, n) == 0;
}

bool fail(std::string* error, const std::string& why)
{
    if (error)
        *error = why;
    return false;
}

// SDL_image hands back what a broken header declares: a surface of no
// depth or of absurd bytes per pixel, rows shorter than the width, a
// paletted surface without its palette.
bool readableSurface(const SDL_Surface* s, std::string* error)
{
    const SDL_PixelFormat* f = s->format;
    const int bpp = f ? f->BytesPerPixel : 0;
    if (!s->pixels || bpp < 1 || bpp > 4 || f->BitsPerPixel > bpp * 8 || f->BitsPerPixel <= (bpp - 1) * 8 ||
        s->pitch < s->w * bpp || (bpp == 1 && (!f->palette || !f->palette->colors)))
        return fail(error, "cannot decode the image (a pixel format it cannot have)");
    return true;
}

// A pixel as RGBA through the surface's format; a paletted pixel through
// its palette, refused when it indexes past it.
bool readPixel(const SDL_Surface* s, const std::uint8_t* at, std::uint8_t* p)
{
    const SDL_PixelFormat* f = s->format;
    Uint32 pixel = 0;
    std::memcpy(reinterpret_cast<std::uint8_t*>(&pixel) + (SDL_BYTEORDER == SDL_BIG_ENDIAN ? 4 - f->BytesPerPixel : 0),
                at, f->BytesPerPixel);
    if (f->BytesPerPixel == 1) {
        if (static_cast<int>(pixel) >= f->palette->ncolors)
            return false;
        const SDL_Color& c = f->palette->colors[pixel];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
        p[3] = 255;
    } else {
        SDL_GetRGBA(pixel, const_cast<SDL_PixelFormat*>(f), &p[0], &p[1], &p[2], &p[3]);
    }
    if (s->flags & SDL_SRCCOLORKEY && pixel == f->colorkey)
        p[3] = 0;
    return true;
}

} // namespace

Format sniff(const std::uint8_t* data, std::size_t size)
{
    if (startsWith(data, size, "\x89PNG\r\n\x1a\n"))
        return Format::png;
    if (startsWith(data, size, "\xff\xd8\xff"))
        return Format::jpeg;
    if (startsWith(data, size, "RIFF") && startsWith(data, size, "WEBP", 8))
        return Format::webp;
    if (startsWith(data, size, "GIF8"))
        return Format::gif;
    // Vector tiles arrive gzip-compressed or as bare protobuf (field 3, a layer).
    if (startsWith(data, size, "\x1f\x8b") || (size > 0 && data[0] == 0x1a))
        return Format::vector;
    return Format::unknown;
}

const char* formatName(Format format)
{
    switch (format) {
    case Format::png:
        return "PNG";
    case Format::jpeg:
        return "JPEG";
    case Format::webp:
        return "WebP";
    case Format::gif:
        return "GIF";
    case Format::vector:
        return "vector tile";
    default:
        return "unknown";
    }
}

bool acceptableSize(long long w, long long h, std::string* error)
{
    if (w <= 0 || h <= 0)
        return fail(error, "empty image");
    if (w > maxEdge || h > maxEdge)
        return fail(error, "image of " + std::to_string(w) + "x" + std::to_string(h) + " pixels is too large");
    return true;
}

bool decode(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error)
{
    if (!data || size == 0)
        return fail(error, "no data");
    switch (sniff(data, size)) {
    case Format::png:
        return decodePng(data, size, tileSize, out, error);
    case Format::jpeg:
        return decodeJpeg(data, size, tileSize, out, error);
    case Format::webp:
        return decodeWebp(data, size, tileSize, out, error);
    case Format::vector:
        return fail(error, "vector tiles cannot be shown");
    default:
        return decodeWithSdl(data, size, tileSize, out, error);
    }
}

// The rare formats (GIF, BMP): measured from their headers, then SDL_image
// decodes and the pixels are read back through the surface's own format.
bool decodeWithSdl(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error)
{
    if (size > 0x7fffffff)
        return fail(error, "image too large");
    long long declaredW, declaredH;
    if (!ImageHeader::size(data, size, &declaredW, &declaredH, error) ||
        !acceptableSize(declaredW, declaredH, error))
        return false;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    SDL_Surface* s = rw ? IMG_Load_RW(rw, 1) : nullptr;
    if (!s)
        return fail(error, "cannot decode the image");
    if (!acceptableSize(s->w, s->h, error)) {
        SDL_FreeSurface(s);
        return false;
    }
    out->sourceWidth = s->w;
    out->sourceHeight = s->h;
    if (!readableSurface(s, error)) {
        SDL_FreeSurface(s);
        return false;
    }
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(s->w) * static_cast<std::size_t>(s->h) * 4);
    SDL_LockSurface(s);
    const int bpp = s->format->BytesPerPixel;
    bool inPalette = true;
    for (int y = 0; y < s->h && inPalette; ++y) {
        const std::uint8_t* row = static_cast<const std::uint8_t*>(s->pixels) + static_cast<std::size_t>(y) * s->pitch;
        for (int x = 0; x < s->w && inPalette; ++x)
            inPalette = readPixel(s, row + x * bpp, &rgba[(static_cast<std::size_t>(y) * s->w + x) * 4]);
    }
    SDL_UnlockSurface(s);
    const int w = s->w, h = s->h;
    SDL_FreeSurface(s);
    if (!inPalette)
        return fail(error, "cannot decode the image (pixels outside its palette)");
    Pixels::fromRgba(rgba.data(), w, h, tileSize, out);
    return true;
}

} // namespace TileDecoder
