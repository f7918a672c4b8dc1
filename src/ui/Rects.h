#ifndef TESSEL_RECTS_H
#define TESSEL_RECTS_H

#include <SDL.h>
#include <algorithm>

// Screen boxes as sets of pixels; an empty box (no width or height) adds nothing.
inline bool emptyRect(const SDL_Rect& r)
{
    return r.w == 0 || r.h == 0;
}

// The smallest box holding both.
inline SDL_Rect unite(const SDL_Rect& a, const SDL_Rect& b)
{
    if (emptyRect(a))
        return b;
    if (emptyRect(b))
        return a;
    const int x0 = std::min<int>(a.x, b.x), y0 = std::min<int>(a.y, b.y);
    const int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
    return SDL_Rect{static_cast<Sint16>(x0), static_cast<Sint16>(y0), static_cast<Uint16>(x1 - x0),
                    static_cast<Uint16>(y1 - y0)};
}

inline bool containsRect(const SDL_Rect& outer, const SDL_Rect& inner)
{
    return emptyRect(inner) || (inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
                                inner.y + inner.h <= outer.y + outer.h);
}

// True when the two share a pixel.
inline bool intersects(const SDL_Rect& a, const SDL_Rect& b)
{
    return !emptyRect(a) && !emptyRect(b) && a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h &&
           b.y < a.y + a.h;
}

// The part of `r` on a screen of w x h.
inline SDL_Rect clipToScreen(const SDL_Rect& r, int w, int h)
{
    const int x0 = std::max<int>(r.x, 0), y0 = std::max<int>(r.y, 0);
    const int x1 = std::min(r.x + r.w, w), y1 = std::min(r.y + r.h, h);
    if (x1 <= x0 || y1 <= y0)
        return SDL_Rect{0, 0, 0, 0};
    return SDL_Rect{static_cast<Sint16>(x0), static_cast<Sint16>(y0), static_cast<Uint16>(x1 - x0),
                    static_cast<Uint16>(y1 - y0)};
}

#endif
