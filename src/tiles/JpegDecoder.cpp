// JPEG tiles through libjpeg(-turbo), rows as RGBX packed to RGB565 here;
// tiles twice, four or eight times the tile size are scaled by the library's
// DCT scaling.
#include "TileDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace TileDecoder {

namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr info)
{
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->jump, 1);
}

void onMessage(j_common_ptr, int) {}

// Where the rows go: 565 when the output has the tile size, else RGBA for
// the resampler. Owned by the caller, so nothing in the frame that calls
// setjmp needs destroying when the library jumps back.
struct Target {
    int tileSize;
    Bitmap* bitmap;
    std::vector<std::uint8_t>* rgba; // the whole image, or one RGBX row
    int width, height;
    bool direct;
};

int scaleDenominator(int w, int h, int tileSize)
{
    for (int d : {1, 2, 4, 8})
        if (w == h && w == tileSize * d)
            return d;
    return 0;
}

bool run(jpeg_decompress_struct* info, ErrorTrap* trap, const std::uint8_t* data, std::size_t size, Target* t,
         std::string* error)
{
    if (setjmp(trap->jump)) {
        if (error)
            *error = std::string("damaged JPEG: ") + trap->message;
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    jpeg_read_header(info, TRUE);
    if (!acceptableSize(info->image_width, info->image_height, error))
        return false;
    t->bitmap->sourceWidth = static_cast<int>(info->image_width);
    t->bitmap->sourceHeight = static_cast<int>(info->image_height);
    const int denominator = scaleDenominator(static_cast<int>(info->image_width), static_cast<int>(info->image_height),
                                             t->tileSize);
    t->direct = denominator != 0;
    info->scale_num = 1;
    info->scale_denom = static_cast<unsigned>(t->direct ? denominator : 1);
    // RGBX rows packed here make a tile a third cheaper than the library's
    // own RGB565 output, whose colour conversion has no vector code; the
    // packing is the same (both drop the low bits).
    info->out_color_space = !t->direct ? JCS_EXT_RGBA : JCS_EXT_RGBX;
    // What a 16-bit screen cannot show is not worth computing: the fast
    // integer DCT and plain upsampling differ from the exact ones by less
    // than a 565 step, and nothing is dithered.
    info->dither_mode = JDITHER_NONE;
    info->dct_method = JDCT_IFAST;
    info->do_fancy_upsampling = FALSE;
    jpeg_start_decompress(info);
    t->width = static_cast<int>(info->output_width);
    t->height = static_cast<int>(info->output_height);
    if (t->direct && (t->width != t->tileSize || t->height != t->tileSize))
        return false;
    if (t->direct)
        t->bitmap->reset(t->tileSize, false);
    t->rgba->resize(static_cast<std::size_t>(t->width) * (t->direct ? 1 : t->height) * 4);
    while (info->output_scanline < info->output_height) {
        const std::size_t y = info->output_scanline;
        JSAMPROW row = t->rgba->data() + (t->direct ? 0 : y * t->width * 4);
        jpeg_read_scanlines(info, &row, 1);
        if (t->direct)
            Pixels::convertRgbaRow(row, t->width, &t->bitmap->rgb[y * t->tileSize], nullptr);
    }
    jpeg_finish_decompress(info);
    return true;
}

} // namespace

bool decodeJpeg(const std::uint8_t* data, std::size_t size, int tileSize, Bitmap* out, std::string* error)
{
    jpeg_decompress_struct info;
    ErrorTrap trap;
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = onError;
    trap.manager.emit_message = onMessage;
    trap.message[0] = 0;
    std::vector<std::uint8_t> rgba;
    Target target{tileSize, out, &rgba, 0, 0, false};
    const bool ok = run(&info, &trap, data, size, &target, error);
    jpeg_destroy_decompress(&info);
    if (ok && !target.direct)
        Pixels::fromRgba(rgba.data(), target.width, target.height, tileSize, out);
    return ok;
}

} // namespace TileDecoder
