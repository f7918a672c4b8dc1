#include "Effects.h"

#include "FPS.h"
#include "GlyphText.h"
#include "TextCache.h"

#include <algorithm>
#include <cstring>

namespace Effects {

namespace {

// Start of content of `size` in a span of `span` from `start`: centred,
// at the far end or at the start; content larger than the span stays at the
// start and is clipped at the far end.
int alignOnAxis(int start, int span, int size, bool center, bool farEnd)
{
    if (span < size)
        return start;
    if (center)
        return start + (span - size) / 2;
    if (farEnd)
        return start + span - size;
    return start;
}

} // namespace

void measureText(TTF_Font* font, const std::string& text, int* w, int* h)
{
    *w = 0;
    *h = 0;
    if (!font)
        return;
    if (TextCache* cache = TextCache::of(font))
        cache->size(text, w, h);
    else
        TTF_SizeUTF8(font, text.c_str(), w, h);
}

void alignArea(int flags, int w, int h, SDL_Rect* source, SDL_Rect* box)
{
    if (!box)
        return;
    const int boxW = box->w;
    const int boxH = box->h;
    const int x = alignOnAxis(box->x, boxW, w, flags & alignCenter, flags & alignRight);
    const int y = alignOnAxis(box->y, boxH, h, flags & alignMiddle, flags & alignBottom);
    const int width = boxW < w ? boxW : w;
    const int height = boxH < h ? boxH : h;
    box->x = static_cast<Sint16>(x);
    box->y = static_cast<Sint16>(y);
    box->w = static_cast<Uint16>(width);
    box->h = static_cast<Uint16>(height);
    if (source) {
        source->x = 0;
        source->y = 0;
        source->w = static_cast<Uint16>(width);
        source->h = static_cast<Uint16>(height);
    }
}

void alignText(int flags, TTF_Font* font, const std::string& text, SDL_Rect* source, SDL_Rect* box)
{
    int w, h;
    measureText(font, text, &w, &h);
    alignArea(flags, w, h, source, box);
}

void alignTextWithRolling(int flags, TTF_Font* font, const std::string& text, SDL_Rect* source, SDL_Rect* box,
                          FPS* fps, Rolling* rolling)
{
    if (!box)
        return;
    int w, h;
    measureText(font, text, &w, &h);
    const int boxW = box->w;
    alignArea(flags, w, h, source, box);
    if (boxW >= w || !source)
        return;

    if (rolling->offset == rollRestart) {
        rolling->timer = fps->pauseCarry(rollPause);
        rolling->offset = 0;
    }
    const int d = fps->moveDistance(rollSpeed, &rolling->timer);
    if (d != 0) {
        const int rollLimit = w - boxW;
        if (rolling->offset == rollLimit)
            rolling->offset = -rollLimit; // the pause at the far end is over: roll back
        const int n = rolling->offset + d;
        if (rolling->offset < 0) {
            if (n < 0) {
                rolling->offset = n;
            } else {
                rolling->offset = 0;
                rolling->timer = fps->pauseCarry(rollPause);
            }
        } else if (n < rollLimit) {
            rolling->offset = n;
        } else {
            rolling->offset = rollLimit;
            rolling->timer = fps->pauseCarry(rollPause);
        }
    }
    source->x = static_cast<Sint16>(rolling->offset < 0 ? -rolling->offset : rolling->offset);
}

void blitText(SDL_Surface* target, TTF_Font* font, const std::string& text, SDL_Color color, bool blended,
              SDL_Rect* source, SDL_Rect* box)
{
    if (!target || !font || text.empty())
        return;
    // A font without a cache (one the toolbox opens for a moment) draws uncached.
    TextCache* cache = TextCache::of(font);
    TextCache alone(font, false);
    if (SDL_Surface* s = (cache ? cache : &alone)->rendering(text, color, blended))
        SDL_UpperBlit(s, source, target, box);
}

void blitOutlinedText(SDL_Surface* target, TTF_Font* font, const std::string& text, SDL_Color color, SDL_Color outline,
                      bool blended, const SDL_Rect& source, const SDL_Rect& box)
{
    if (!target || !font || text.empty())
        return;
    TextCache* cache = TextCache::of(font);
    TextCache alone(font, false);
    GlyphText::draw(target, cache ? cache : &alone, text, color, &outline, blended, source, box);
}

void blitChangingText(SDL_Surface* target, TTF_Font* font, const std::string& text, SDL_Color color, bool blended,
                      const SDL_Rect& source, const SDL_Rect& box)
{
    if (!target || !font || text.empty())
        return;
    TextCache* cache = TextCache::of(font);
    TextCache alone(font, false);
    GlyphText::draw(target, cache ? cache : &alone, text, color, nullptr, blended, source, box);
}

void plate(SDL_Surface* target, const SDL_Rect& area)
{
    SDL_Rect r = area;
    const SDL_Rect& clip = target->clip_rect;
    const int x0 = std::max<int>(r.x, clip.x), y0 = std::max<int>(r.y, clip.y);
    const int x1 = std::min(r.x + r.w, clip.x + clip.w), y1 = std::min(r.y + r.h, clip.y + clip.h);
    if (x1 <= x0 || y1 <= y0 || (SDL_MUSTLOCK(target) && SDL_LockSurface(target) < 0))
        return;
    const SDL_PixelFormat* f = target->format;
    const bool is565 = f->BytesPerPixel == 2 && f->Rmask == 0xf800 && f->Gmask == 0x07e0 && f->Bmask == 0x001f;
    for (int y = y0; y < y1; ++y) {
        Uint8* row = static_cast<Uint8*>(target->pixels) + y * target->pitch;
        if (is565) {
            // Five eighths of the way to white, channel by channel in 16
            // bits, which vectorises.
            Uint16* q = reinterpret_cast<Uint16*>(row);
            for (int x = x0; x < x1; ++x) {
                const Uint16 r = static_cast<Uint16>(((q[x] >> 11) * 3 + 31 * 5) >> 3);
                const Uint16 g = static_cast<Uint16>((((q[x] >> 5) & 63) * 3 + 63 * 5) >> 3);
                const Uint16 b = static_cast<Uint16>(((q[x] & 31) * 3 + 31 * 5) >> 3);
                q[x] = static_cast<Uint16>(r << 11 | g << 5 | b);
            }
            continue;
        }
        for (int x = x0; x < x1; ++x) {
            Uint8* p = row + x * f->BytesPerPixel;
            Uint32 pixel = 0;
            std::memcpy(&pixel, p, f->BytesPerPixel);
            Uint8 c[3];
            SDL_GetRGB(pixel, target->format, &c[0], &c[1], &c[2]);
            for (Uint8& v : c)
                v = static_cast<Uint8>((v * 3 + 255 * 5) / 8);
            pixel = SDL_MapRGB(target->format, c[0], c[1], c[2]);
            std::memcpy(p, &pixel, f->BytesPerPixel);
        }
    }
    if (SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
}

} // namespace Effects
