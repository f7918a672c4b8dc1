#include "Display.h"

#include "Placement.h"

#include <algorithm>

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
    SDL_Surface* opened = SDL_SetVideoMode(w, h, windowDepth(), flags);
    if (!opened || !scaler.prepare(opened->format))
        return false;
    window = opened;
    const Placement placed = Placement::fit(window->w, window->h, width, height, requested, fullscreen);
    scale = placed.scale;
    offsetX = placed.offsetX;
    offsetY = placed.offsetY;
    SDL_FillRect(window, nullptr, 0);
    return true;
}

// The display's depth, so that SDL shows the window without converting it;
// a palette display gets 16 bits, which SDL converts.
int Display::windowDepth() const
{
    if (depth)
        return depth;
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    const int bits = info && info->vfmt ? info->vfmt->BitsPerPixel : 16;
    return bits > 8 ? bits : 16;
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
    scaler.copy(canvas, box, window, scale, offsetX, offsetY);
    SDL_UpdateRect(window, offsetX + box.x * scale, offsetY + box.y * scale, box.w * scale, box.h * scale);
}
