// The tile decoders against SDL_image's pixels, every PNG colour type, JPEG
// kinds, WebP, other sizes and bad input.
#include "Bitmap.h"
#include "Codecs.h"
#include "TestSupport.h"
#include "TileDecoder.h"

#include <SDL_image.h>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <spng.h>
#include <webp/encode.h>

namespace {

// A pattern with every channel moving: (x, y) -> r, g, b, a.
void pattern(int x, int y, std::uint8_t* p)
{
    p[0] = static_cast<std::uint8_t>(x * 7 + y);
    p[1] = static_cast<std::uint8_t>(y * 5 + 3 * x);
    p[2] = static_cast<std::uint8_t>((x ^ y) * 3);
    p[3] = static_cast<std::uint8_t>((x + y) % 3 == 0 ? 0 : (x * 11) & 0xff);
}

std::string encodePngWith(int size, int colourType, int depth, const std::function<void(spng_ctx*)>& extra,
                          const std::vector<std::uint8_t>& raw, bool interlaced = false)
{
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{};
    ihdr.width = ihdr.height = static_cast<std::uint32_t>(size);
    ihdr.bit_depth = static_cast<std::uint8_t>(depth);
    ihdr.color_type = static_cast<std::uint8_t>(colourType);
    ihdr.interlace_method = interlaced ? 1 : 0;
    spng_set_ihdr(ctx, &ihdr);
    if (extra)
        extra(ctx);
    std::string out;
    if (spng_encode_image(ctx, raw.data(), raw.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) == 0) {
        std::size_t len = 0;
        int error = 0;
        void* buffer = spng_get_png_buffer(ctx, &len, &error);
        out.assign(static_cast<const char*>(buffer), len);
        std::free(buffer);
    }
    spng_ctx_free(ctx);
    return out;
}

std::string encodeJpegWith(int size, bool grey, bool progressive)
{
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long len = 0;
    jpeg_mem_dest(&info, &buffer, &len);
    info.image_width = info.image_height = static_cast<JDIMENSION>(size);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(size) * 3);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < size; ++x) {
            std::uint8_t p[4];
            pattern(x, static_cast<int>(info.next_scanline), p);
            for (int c = 0; c < (grey ? 1 : 3); ++c)
                row[static_cast<std::size_t>(x * (grey ? 1 : 3) + c)] = p[c];
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), len);
    std::free(buffer);
    jpeg_destroy_compress(&info);
    return out;
}

std::vector<std::uint8_t> rgbaPattern(int size)
{
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pattern(x, y, &raw[static_cast<std::size_t>(y * size + x) * 4]);
    return raw;
}

// Every pixel of our decode against SDL_image's, both in 8-bit channels:
// the colour within one 565 step, and alpha exact. Fully transparent pixels
// have no colour to compare.
void expectLikeSdl(const std::string& bytes, int size = 16, int steps = 1)
{
    Bitmap ours;
    std::string error;
    ASSERT_TRUE(TileDecoder::decode(bytes, size, &ours, &error)) << error;
    SDL_Surface* raw = IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    ASSERT_NE(raw, nullptr) << IMG_GetError();
    SDL_Surface* sdl = Codecs::newRgba(raw->w, raw->h); // bytes R, G, B, A
    SDL_SetAlpha(raw, 0, 255);
    SDL_BlitSurface(raw, nullptr, sdl, nullptr);
    int worst = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const std::uint8_t* p = static_cast<std::uint8_t*>(sdl->pixels) + y * sdl->pitch + x * 4;
            const std::size_t i = static_cast<std::size_t>(y * size + x);
            const int alpha = ours.opaque() ? 255 : ours.alpha[i];
            const bool keyed = (raw->flags & SDL_SRCCOLORKEY) != 0;
            EXPECT_EQ(alpha, keyed || raw->format->Amask ? p[3] : 255) << x << "," << y;
            if (alpha == 0)
                continue;
            unsigned r, g, b;
            Pixels::unpack565(ours.rgb[i], &r, &g, &b);
            const std::uint16_t theirs = Pixels::pack565(p[0], p[1], p[2]);
            unsigned tr, tg, tb;
            Pixels::unpack565(theirs, &tr, &tg, &tb);
            worst = std::max({worst, std::abs(int(r) - int(tr)) / 8, std::abs(int(g) - int(tg)) / 4,
                              std::abs(int(b) - int(tb)) / 8});
        }
    EXPECT_LE(worst, steps) << "565 steps apart";
    SDL_FreeSurface(sdl);
    SDL_FreeSurface(raw);
}

} // namespace

TEST(TileDecoder, PngOfEveryColourTypeDecodesLikeSdlImage)
{
    testScreen();
    const int n = 16;
    const std::vector<std::uint8_t> rgba = rgbaPattern(n);
    std::vector<std::uint8_t> rgb, grey, index;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        grey.push_back(rgba[i]);
        index.push_back(static_cast<std::uint8_t>(rgba[i] % 40));
    }
    const auto palette = [](spng_ctx* ctx) {
        spng_plte plte{};
        plte.n_entries = 40;
        for (unsigned i = 0; i < 40; ++i)
            plte.entries[i] = {static_cast<std::uint8_t>(i * 6), static_cast<std::uint8_t>(255 - i * 5),
                               static_cast<std::uint8_t>(i * 3), 0};
        spng_set_plte(ctx, &plte);
    };
    const auto paletteAlpha = [&](spng_ctx* ctx) {
        palette(ctx);
        spng_trns trns{};
        trns.n_type3_entries = 10;
        for (unsigned i = 0; i < 10; ++i)
            trns.type3_alpha[i] = static_cast<std::uint8_t>(i * 25);
        spng_set_trns(ctx, &trns);
    };
    const auto greyKey = [](spng_ctx* ctx) {
        spng_trns trns{};
        trns.gray = 0;
        spng_set_trns(ctx, &trns);
    };
    const std::pair<const char*, std::string> kinds[] = {
        {"rgba", encodePngWith(n, SPNG_COLOR_TYPE_TRUECOLOR_ALPHA, 8, nullptr, rgba)},
        {"rgb", encodePngWith(n, SPNG_COLOR_TYPE_TRUECOLOR, 8, nullptr, rgb)},
        {"rgb interlaced", encodePngWith(n, SPNG_COLOR_TYPE_TRUECOLOR, 8, nullptr, rgb, true)},
        {"grey", encodePngWith(n, SPNG_COLOR_TYPE_GRAYSCALE, 8, nullptr, grey)},
        {"palette", encodePngWith(n, SPNG_COLOR_TYPE_INDEXED, 8, palette, index)},
        {"palette with tRNS", encodePngWith(n, SPNG_COLOR_TYPE_INDEXED, 8, paletteAlpha, index)}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.first);
        expectLikeSdl(kind.second);
    }
    // SDL_image 1.2 reads grey with tRNS wrongly: against the values themselves.
    Bitmap keyed;
    ASSERT_TRUE(TileDecoder::decode(encodePngWith(n, SPNG_COLOR_TYPE_GRAYSCALE, 8, greyKey, grey), n, &keyed, nullptr));
    ASSERT_FALSE(keyed.opaque());
    for (std::size_t i = 0; i < grey.size(); ++i) {
        EXPECT_EQ(keyed.alpha[i], grey[i] == 0 ? 0 : 255);
        EXPECT_EQ(keyed.rgb[i], Pixels::pack565(grey[i], grey[i], grey[i]));
    }
}

TEST(TileDecoder, JpegAndWebpDecodeLikeSdlImage)
{
    testScreen();
    for (bool grey : {false, true})
        for (bool progressive : {false, true}) {
            SCOPED_TRACE(std::string(grey ? "grey" : "colour") + (progressive ? " progressive" : ""));
            // Plain chroma upsampling moves colour edges by up to two steps.
            expectLikeSdl(encodeJpegWith(16, grey, progressive), 16, grey ? 1 : 2);
        }
    const std::vector<std::uint8_t> rgba = rgbaPattern(16);
    std::uint8_t* out = nullptr;
    const std::size_t len = WebPEncodeLosslessRGBA(rgba.data(), 16, 16, 64, &out);
    ASSERT_GT(len, 0u);
    const std::string webp(reinterpret_cast<char*>(out), len);
    WebPFree(out);
    Bitmap ours;
    ASSERT_TRUE(TileDecoder::decode(webp, 16, &ours, nullptr));
    ASSERT_FALSE(ours.opaque());
    for (std::size_t i = 0; i < ours.rgb.size(); ++i) {
        EXPECT_EQ(ours.alpha[i], rgba[i * 4 + 3]);
        if (ours.alpha[i]) {
            EXPECT_EQ(ours.rgb[i], Pixels::pack565(rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2])) << i;
        }
    }
}

TEST(TileDecoder, OtherSizesAreScaledToTheTile)
{
    // A 32 px image of 2 x 2 blocks: each target pixel of 16 is one block.
    std::vector<std::uint8_t> raw(32 * 32 * 3);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            std::uint8_t* p = &raw[static_cast<std::size_t>(y * 32 + x) * 3];
            p[0] = static_cast<std::uint8_t>(x / 2 * 16);
            p[1] = static_cast<std::uint8_t>((x + y) % 2 ? 200 : 100); // averages to 150
            p[2] = static_cast<std::uint8_t>(y / 2 * 16);
        }
    Bitmap down;
    ASSERT_TRUE(TileDecoder::decode(encodePngWith(32, SPNG_COLOR_TYPE_TRUECOLOR, 8, nullptr, raw), 16, &down, nullptr));
    ASSERT_EQ(down.size, 16);
    EXPECT_EQ(down.rgb[3 * 16 + 5], Pixels::pack565(5 * 16, 150, 3 * 16));

    Bitmap up; // 8 px enlarged to 16: each source pixel twice
    std::vector<std::uint8_t> small(8 * 8 * 3, 0);
    small[(2 * 8 + 3) * 3] = 255;
    ASSERT_TRUE(TileDecoder::decode(encodePngWith(8, SPNG_COLOR_TYPE_TRUECOLOR, 8, nullptr, small), 16, &up, nullptr));
    EXPECT_EQ(up.rgb[5 * 16 + 7], Pixels::pack565(255, 0, 0));
    EXPECT_EQ(up.rgb[5 * 16 + 8], 0);

    Bitmap jpeg; // twice the size: the library's own scaling
    ASSERT_TRUE(TileDecoder::decode(encodeJpegWith(32, false, false), 16, &jpeg, nullptr));
    EXPECT_EQ(jpeg.size, 16);
}

TEST(TileDecoder, BadInputIsRefusedWithAReason)
{
    const std::vector<std::uint8_t> rgb(16 * 16 * 3, 90);
    const std::string png = encodePngWith(16, SPNG_COLOR_TYPE_TRUECOLOR, 8, nullptr, rgb);
    const std::string jpeg = encodeJpegWith(16, false, false);
    Bitmap out;
    std::string error;
    for (const std::string& cut : {png.substr(0, png.size() / 2), jpeg.substr(0, 40), std::string("\x89PNG\r\n\x1a\n", 8),
                                   std::string("RIFF\0\0\0\0WEBPVP8 ", 16), std::string("not an image at all")}) {
        error.clear();
        EXPECT_FALSE(TileDecoder::decode(cut, 16, &out, &error)) << cut.size();
        EXPECT_FALSE(error.empty());
    }
    // A header declaring 5000 x 5000 is refused before any pixel is decoded.
    std::string huge = png;
    const unsigned char size[4] = {0, 0, 0x13, 0x88};
    huge.replace(16, 4, reinterpret_cast<const char*>(size), 4);
    huge.replace(20, 4, reinterpret_cast<const char*>(size), 4);
    EXPECT_FALSE(TileDecoder::decode(huge, 16, &out, &error));
    EXPECT_NE(error.find("limit"), std::string::npos) << error;
    EXPECT_FALSE(TileDecoder::decode(std::string("\x1f\x8b\x08", 3), 16, &out, &error));
    EXPECT_NE(error.find("vector"), std::string::npos);
}

namespace {

// A BMP as its palette: a 2 x 2 image of 8 bits a pixel whose palette
// holds `colours` entries, its pixels the indices given.
std::string paletteBmp(int colours, std::uint8_t a, std::uint8_t b)
{
    std::string bmp(54 + 4 * colours + 8, '\0');
    auto le32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<char>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    le32(2, static_cast<std::uint32_t>(bmp.size()));
    le32(10, 54 + 4 * colours);
    le32(14, 40);
    le32(18, 2);
    le32(22, 2);
    bmp[26] = 1;
    bmp[28] = 8;
    le32(46, static_cast<std::uint32_t>(colours));
    for (int i = 0; i < colours; ++i)
        bmp[54 + 4 * i + 2] = static_cast<char>(i == 0 ? 255 : 0); // BGRA: red, then black
    const std::size_t pixels = 54 + 4 * colours;
    bmp[pixels] = static_cast<char>(a);
    bmp[pixels + 1] = static_cast<char>(b);
    bmp[pixels + 4] = static_cast<char>(a);
    bmp[pixels + 5] = static_cast<char>(b);
    return bmp;
}

} // namespace

TEST(TileDecoder, PalettedBmpIsReadThroughItsPaletteOrRefused)
{
    Bitmap out;
    std::string error;
    ASSERT_TRUE(TileDecoder::decode(paletteBmp(2, 0, 1), 2, &out, &error)) << error;
    EXPECT_EQ(out.rgb[0], Pixels::pack565(255, 0, 0));
    EXPECT_EQ(out.rgb[1], 0);
    // Pixels pointing past the two colours the file declares.
    EXPECT_TRUE(TileDecoder::decode(paletteBmp(2, 0, 200), 2, &out, &error)) << error;
    // What the fuzzer found: 35 bytes SDL_image makes a surface of no depth.
    const unsigned char found[] = {0x42, 0x4d, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
                                   0xff, 0xff, 0x00, 0xff, 0xff, 0x00, 0xff, 0x09, 0x00, 0x00, 0xf7, 0xff,
                                   0xff, 0xff, 0xff, 0xff, 0x00, 0xf7, 0xff, 0xff, 0xff, 0xff, 0xff};
    EXPECT_FALSE(TileDecoder::decode(std::string(reinterpret_cast<const char*>(found), sizeof found), 16, &out, &error));
    EXPECT_NE(error.find("pixel format"), std::string::npos) << error;
}
