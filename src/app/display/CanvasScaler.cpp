#include "CanvasScaler.h"

#include <cstring>

namespace {

bool isRgb565(const SDL_PixelFormat* f)
{
    return f->BytesPerPixel == 2 && f->Rmask == 0xf800 && f->Gmask == 0x07e0 && f->Bmask == 0x001f;
}

// One row, each pixel `scale` times. Doubling has a loop of its own, whose
// rows never overlap, so the compiler vectorises it.
template <typename Pixel, typename Colour>
void spreadRow(const Uint16* __restrict from, Pixel* __restrict to, int n, int scale, Colour colour)
{
    if (scale == 2) {
        for (int x = 0; x < n; ++x) {
            const Pixel p = colour(from[x]);
            to[2 * x] = p;
            to[2 * x + 1] = p;
        }
        return;
    }
    for (int x = 0; x < n; ++x) {
        const Pixel p = colour(from[x]);
        for (int k = 0; k < scale; ++k)
            *to++ = p;
    }
}

// Three bytes a pixel: the table holds them as the first three bytes.
void spreadRow24(const Uint16* from, Uint8* to, int n, int scale, const Uint32* table)
{
    for (int x = 0; x < n; ++x)
        for (int k = 0; k < scale; ++k, to += 3)
            std::memcpy(to, &table[from[x]], 3);
}

} // namespace

bool CanvasScaler::prepare(const SDL_PixelFormat* format)
{
    colours.clear();
    bytes = format->BytesPerPixel;
    if (bytes < 2)
        return false;
    if (isRgb565(format))
        return true;
    // Every RGB565 value once, converted by SDL as it would convert the canvas.
    SDL_Surface* all = SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 256, 16, 0xf800, 0x07e0, 0x001f, 0);
    SDL_Surface* converted = SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 256, format->BitsPerPixel, format->Rmask,
                                                  format->Gmask, format->Bmask, format->Amask);
    bool made = all && converted;
    if (made) {
        for (int v = 0; v < 65536; ++v)
            reinterpret_cast<Uint16*>(static_cast<Uint8*>(all->pixels) + (v >> 8) * all->pitch)[v & 255] =
                static_cast<Uint16>(v);
        made = SDL_BlitSurface(all, nullptr, converted, nullptr) == 0;
    }
    if (made) {
        colours.assign(65536, 0);
        for (int v = 0; v < 65536; ++v) {
            const Uint8* at = static_cast<const Uint8*>(converted->pixels) + (v >> 8) * converted->pitch + (v & 255) * bytes;
            if (bytes == 2) {
                Uint16 p;
                std::memcpy(&p, at, 2);
                colours[v] = p;
            } else {
                std::memcpy(&colours[v], at, static_cast<std::size_t>(bytes));
            }
        }
    }
    SDL_FreeSurface(converted);
    SDL_FreeSurface(all);
    return made;
}

// The first row of each square is written pixel by pixel, the others copied from it.
void CanvasScaler::copy(SDL_Surface* canvas, const SDL_Rect& box, SDL_Surface* window, int scale, int offsetX,
                        int offsetY) const
{
    if (window->format->BytesPerPixel != bytes || canvas->format->BytesPerPixel != 2 ||
        (bytes != 2 && colours.empty()))
        return;
    if (SDL_MUSTLOCK(window) && SDL_LockSurface(window) < 0)
        return;
    const Uint32* table = colours.data();
    const std::size_t rowBytes = static_cast<std::size_t>(box.w * scale * bytes);
    for (int y = box.y; y < box.y + box.h; ++y) {
        const Uint16* from = reinterpret_cast<const Uint16*>(static_cast<const Uint8*>(canvas->pixels) + y * canvas->pitch) + box.x;
        Uint8* first = static_cast<Uint8*>(window->pixels) + (offsetY + y * scale) * window->pitch +
                       (offsetX + box.x * scale) * bytes;
        if (bytes == 4)
            spreadRow(from, reinterpret_cast<Uint32*>(first), box.w, scale, [table](Uint16 p) { return table[p]; });
        else if (bytes == 3)
            spreadRow24(from, first, box.w, scale, table);
        else if (table)
            spreadRow(from, reinterpret_cast<Uint16*>(first), box.w, scale,
                      [table](Uint16 p) { return static_cast<Uint16>(table[p]); });
        else
            spreadRow(from, reinterpret_cast<Uint16*>(first), box.w, scale, [](Uint16 p) { return p; });
        for (int k = 1; k < scale; ++k)
            std::memcpy(first + k * window->pitch, first, rowBytes);
    }
    if (SDL_MUSTLOCK(window))
        SDL_UnlockSurface(window);
}
