#include "SurfaceCopy.h"

#include <cstring>

namespace {

bool sameFormat(const SDL_PixelFormat* a, const SDL_PixelFormat* b)
{
    return a->BitsPerPixel == b->BitsPerPixel && a->BytesPerPixel == b->BytesPerPixel && a->Rmask == b->Rmask &&
           a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->BitsPerPixel >= 15;
}

// Cuts the span [*start, *start + *size) on one axis to [low, high), moving
// *other (the same span on the other surface) along.
void cut(int low, int high, int* start, int* size, int* other)
{
    if (*start < low) {
        *size -= low - *start;
        *other += low - *start;
        *start = low;
    }
    if (*start + *size > high)
        *size = high - *start;
}

} // namespace

int SurfaceCopy::blit(SDL_Surface* from, SDL_Rect* source, SDL_Surface* to, SDL_Rect* dest)
{
    if (!from || !to || !dest || (from->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) || SDL_MUSTLOCK(from) ||
        SDL_MUSTLOCK(to) || !sameFormat(from->format, to->format))
        return SDL_UpperBlit(from, source, to, dest);
    int sx = source ? source->x : 0, sy = source ? source->y : 0;
    int w = source ? source->w : from->w, h = source ? source->h : from->h;
    int dx = dest->x, dy = dest->y;
    cut(0, from->w, &sx, &w, &dx);
    cut(0, from->h, &sy, &h, &dy);
    const SDL_Rect& clip = to->clip_rect;
    cut(clip.x, clip.x + clip.w, &dx, &w, &sx);
    cut(clip.y, clip.y + clip.h, &dy, &h, &sy);
    dest->x = static_cast<Sint16>(dx);
    dest->y = static_cast<Sint16>(dy);
    dest->w = static_cast<Uint16>(w > 0 && h > 0 ? w : 0);
    dest->h = static_cast<Uint16>(w > 0 && h > 0 ? h : 0);
    if (w <= 0 || h <= 0)
        return 0;
    const int bpp = from->format->BytesPerPixel;
    const Uint8* in = static_cast<const Uint8*>(from->pixels) + sy * from->pitch + sx * bpp;
    Uint8* out = static_cast<Uint8*>(to->pixels) + dy * to->pitch + dx * bpp;
    for (int y = 0; y < h; ++y)
        std::memcpy(out + y * to->pitch, in + y * from->pitch, static_cast<std::size_t>(w * bpp));
    return 0;
}
