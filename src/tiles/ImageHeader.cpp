#include "ImageHeader.h"

#include <algorithm>
#include <cstring>

namespace ImageHeader {

namespace {

unsigned le16(const std::uint8_t* p)
{
    return static_cast<unsigned>(p[0]) | static_cast<unsigned>(p[1]) << 8;
}

long long le32(const std::uint8_t* p)
{
    const std::uint32_t v = static_cast<std::uint32_t>(le16(p)) | static_cast<std::uint32_t>(le16(p + 2)) << 16;
    return static_cast<std::int32_t>(v);
}

bool fail(std::string* error, const char* why)
{
    if (error)
        *error = why;
    return false;
}

// The logical screen, then blocks up to the first image descriptor;
// extensions are skipped by their sub-block lengths.
bool gif(const std::uint8_t* d, std::size_t n, long long* w, long long* h, std::string* error)
{
    if (n < 13)
        return fail(error, "GIF cut short");
    const long long screenW = le16(d + 6), screenH = le16(d + 8);
    std::size_t pos = 13;
    if (d[10] & 0x80)
        pos += 3u << ((d[10] & 7) + 1);
    while (pos < n) {
        if (d[pos] == 0x2c) {
            if (n - pos < 10)
                break;
            const long long frameW = le16(d + pos + 5), frameH = le16(d + pos + 7);
            // SDL_image writes through a null picture for a frame of no size.
            if (frameW == 0 || frameH == 0)
                return fail(error, "GIF frame of no size");
            // The LZW code size, past a local colour table: SDL_image loops
            // for minutes on sizes no GIF may have (over 8).
            std::size_t codeAt = pos + 10;
            if (d[pos + 9] & 0x80)
                codeAt += 3u << ((d[pos + 9] & 7) + 1);
            if (codeAt >= n || d[codeAt] > 8)
                return fail(error, "GIF with a bad code size");
            *w = std::max(frameW, screenW);
            *h = std::max(frameH, screenH);
            return true;
        }
        if (d[pos] != 0x21 || n - pos < 2)
            break;
        pos += 2;
        while (pos < n && d[pos] != 0)
            pos += d[pos] + 1u;
        ++pos;
    }
    return fail(error, "GIF without an image");
}

bool bmp(const std::uint8_t* d, std::size_t n, long long* w, long long* h, std::string* error)
{
    if (n < 26)
        return fail(error, "BMP cut short");
    if (le32(d + 14) == 12) {
        *w = le16(d + 18);
        *h = le16(d + 20);
    } else {
        *w = le32(d + 18);
        *h = le32(d + 22);
        *h = *h < 0 ? -*h : *h; // rows stored from the top
    }
    return true;
}

} // namespace

bool size(const std::uint8_t* data, std::size_t length, long long* width, long long* height, std::string* error)
{
    if (length >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return gif(data, length, width, height, error);
    if (length >= 2 && data[0] == 'B' && data[1] == 'M')
        return bmp(data, length, width, height, error);
    return fail(error, "not an image format this viewer reads (PNG, JPEG, WebP, GIF or BMP)");
}

} // namespace ImageHeader
