#include "Display.h"

#include "Placement.h"

#include <algorithm>
#include <cstring>

namespace {

// One row with every pixel doubled; the rows never overlap, which lets the
// compiler vectorise the loop.
void doubleRow(const Uint16* __restrict from, Uint16* __restrict to, int n)
{
    for (int x = 0; x < n; ++x) {
        to[2 * x] = from[x];
        to[2 * x + 1] = from[x];
    }
}

} // namespace

Display::~Display()
{
    if (canvas)
        SDL_FreeSurface(canvas);
}

bool Display::open(int wanted, bool full)
{
    if (const SDL_VideoInfo* info = SDL_GetVideoInfo()) {
        desktopW = info->current_w;
        desktopH = info->current_h;
    }
    if (wanted <= 0) {
        wanted = 1;
        while (wanted < maxWindowScale && (wanted + 1) * width <= desktopW && (wanted + 1) * height <= desktopH)
            ++wanted;
    }
    requested = std::min(wanted, maxWindowScale);
    fullscreen = full;
    canvas = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 16, 0xf800, 0x07e0, 0x001f, 0);
    return canvas && setMode();
}

bool Display::setMode()
{
    int w = requested * width, h = requested * height;
    Uint32 flags = SDL_SWSURFACE;
    if (fullscreen) {
        flags |= SDL_FULLSCREEN;
        w = std::max(desktopW, width);
        h = std::max(desktopH, height);
    }
    SDL_Surface* opened = SDL_SetVideoMode(w, h, 16, flags);
    if (!opened)
        return false;
    window = opened;
    const Placement placed = Placement::fit(window->w, window->h, width, height, requested, fullscreen);
    scale = placed.scale;
    offsetX = placed.offsetX;
    offsetY = placed.offsetY;
    SDL_FillRect(window, nullptr, 0);
    return true;
}

bool Display::toggleFullscreen()
{
    fullscreen = !fullscreen;
    if (setMode())
        return true;
    fullscreen = !fullscreen;
    setMode();
    return false;
}

void Display::show(const SDL_Rect& box)
{
    if (!window || !canvas)
        return;
    if (scale == 1) {
        SDL_Rect from = box;
        SDL_Rect to{static_cast<Sint16>(box.x + offsetX), static_cast<Sint16>(box.y + offsetY), 0, 0};
        SDL_BlitSurface(canvas, &from, window, &to);
    } else {
        scaleInto(canvas, box, window, scale, offsetX, offsetY);
    }
    SDL_UpdateRect(window, offsetX + box.x * scale, offsetY + box.y * scale, box.w * scale, box.h * scale);
}

// Each canvas pixel becomes a scale x scale square: the first row of each
// square is written pixel by pixel, the others copied from it.
void Display::scaleInto(SDL_Surface* from, const SDL_Rect& box, SDL_Surface* to, int scale, int offsetX, int offsetY)
{
    SDL_Surface* const canvas = from;
    SDL_Surface* const window = to;
    if (window->format->BytesPerPixel != 2 || canvas->format->BytesPerPixel != 2)
        return;
    if (SDL_MUSTLOCK(window) && SDL_LockSurface(window) < 0)
        return;
    const int rowBytes = box.w * scale * 2;
    for (int y = box.y; y < box.y + box.h; ++y) {
        const Uint16* from = reinterpret_cast<const Uint16*>(static_cast<const Uint8*>(canvas->pixels) + y * canvas->pitch) + box.x;
        Uint8* first = static_cast<Uint8*>(window->pixels) + (offsetY + y * scale) * window->pitch +
                       (offsetX + box.x * scale) * 2;
        Uint16* to = reinterpret_cast<Uint16*>(first);
        if (scale == 2) {
            doubleRow(from, to, box.w);
        } else {
            for (int x = 0; x < box.w; ++x)
                for (int k = 0; k < scale; ++k)
                    *to++ = from[x];
        }
        for (int k = 1; k < scale; ++k)
            std::memcpy(first + k * window->pitch, first, static_cast<std::size_t>(rowBytes));
    }
    if (SDL_MUSTLOCK(window))
        SDL_UnlockSurface(window);
}
