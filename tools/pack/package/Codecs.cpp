#include "Codecs.h"

#include "TileDecoder.h"

#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <stdexcept>
#include <vector>

namespace Codecs {

// Masks name bits of the pixel read as a host-order integer: the bytes
// R, G, B (, A) in memory are its low bytes first on a little-endian machine,
// its high bytes first on a big-endian one.
SDL_Surface* newRgba(int w, int h)
{
    if (SDL_BYTEORDER == SDL_BIG_ENDIAN)
        return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xff000000, 0x00ff0000, 0x0000ff00, 0x000000ff);
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x000000ff, 0x0000ff00, 0x00ff0000, 0xff000000);
}

SDL_Surface* newRgb(int w, int h)
{
    if (SDL_BYTEORDER == SDL_BIG_ENDIAN)
        return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 24, 0x0000ff, 0x00ff00, 0xff0000, 0);
}

namespace {

// How rows are coded: libpng's defaults, or tuned for drawn maps.
struct PngTuning {
    int filter = -1; // -1: libpng chooses per row
    int level = -1;  // -1: zlib's default
};

// A PNG of `height` rows of 8-bit RGB or RGBA, each given by row(y).
template <typename Row>
std::string writePng(int width, int height, bool alpha, PngTuning tuning, Row row)
{
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encoding failed");
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), n);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (tuning.filter >= 0)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, tuning.filter);
    if (tuning.level >= 0)
        png_set_compression_level(png, tuning.level);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, row(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace

std::string encodePng(SDL_Surface* surface)
{
    // Rows are handed to libpng as they lie: RGBA (newRgba) or RGB (newRgb).
    const int bytes = surface->format->BytesPerPixel;
    if (bytes != 4 && bytes != 3)
        throw std::runtime_error("PNG encoding takes 24- or 32-bit pixels");
    SDL_LockSurface(surface);
    const std::string out = writePng(surface->w, surface->h, bytes == 4, PngTuning(), [surface](int y) {
        return static_cast<png_bytep>(surface->pixels) + y * surface->pitch;
    });
    SDL_UnlockSurface(surface);
    return out;
}

std::string encodeDrawn(const Bitmap& bitmap)
{
    std::vector<png_byte> line(static_cast<std::size_t>(bitmap.size) * 3);
    PngTuning tuning;
    tuning.filter = PNG_FILTER_NONE;
    tuning.level = 4;
    return writePng(bitmap.size, bitmap.size, false, tuning, [&](int y) {
        const std::uint16_t* from = &bitmap.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.size)];
        for (int x = 0; x < bitmap.size; ++x) {
            unsigned r, g, b;
            Pixels::unpack565(from[x], &r, &g, &b);
            line[3 * x] = static_cast<png_byte>(r);
            line[3 * x + 1] = static_cast<png_byte>(g);
            line[3 * x + 2] = static_cast<png_byte>(b);
        }
        return line.data();
    });
}

std::string encodeBitmap(const Bitmap& bitmap)
{
    SDL_Surface* s = newRgba(bitmap.size, bitmap.size);
    SDL_LockSurface(s);
    for (int y = 0; y < bitmap.size; ++y) {
        std::uint8_t* row = static_cast<std::uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < bitmap.size; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.size) + static_cast<std::size_t>(x);
            unsigned r, g, b;
            Pixels::unpack565(bitmap.rgb[i], &r, &g, &b);
            row[4 * x] = static_cast<std::uint8_t>(r);
            row[4 * x + 1] = static_cast<std::uint8_t>(g);
            row[4 * x + 2] = static_cast<std::uint8_t>(b);
            row[4 * x + 3] = bitmap.alpha.empty() ? 255 : bitmap.alpha[i];
        }
    }
    SDL_UnlockSurface(s);
    std::string out = encodePng(s);
    SDL_FreeSurface(s);
    return out;
}

std::string encodeJpeg(SDL_Surface* surface, int quality)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(surface->w);
    cinfo.image_height = static_cast<JDIMENSION>(surface->h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    SDL_LockSurface(surface);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = static_cast<JSAMPROW>(surface->pixels) + cinfo.next_scanline * surface->pitch;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    SDL_UnlockSurface(surface);
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<char*>(buffer), size);
    std::free(buffer);
    return out;
}

bool decodable(const std::string& bytes)
{
    Bitmap decoded;
    return !bytes.empty() && TileDecoder::decode(bytes, 256, &decoded, nullptr);
}

} // namespace Codecs
