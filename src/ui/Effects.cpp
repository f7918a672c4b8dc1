#include "Effects.h"

#include "FPS.h"

#include <algorithm>
#include <list>
#include <tuple>

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

// A few dozen texts are on screen at most (a menu page, the toolbar, the
// attribution): keep that many renderings and sizes, the most recent first.
const std::size_t textsKept = 48;

struct Rendering {
    TTF_Font* font;
    std::string text;
    Uint32 colour;  // with the blended flag in the top byte
    Uint32 outline; // an outlined rendering's outline colour; noOutline for plain text
    SDL_Surface* surface;
};

const Uint32 noOutline = 0xffffffffu;

Uint32 colourKey(SDL_Color color, bool blended)
{
    return static_cast<Uint32>(color.r) | static_cast<Uint32>(color.g) << 8 | static_cast<Uint32>(color.b) << 16 |
           (blended ? 1u << 24 : 0u);
}

// Keeps a new rendering, dropping the least recently used past textsKept.
SDL_Surface* keep(std::list<Rendering>* kept, Rendering r)
{
    kept->push_front(r);
    if (kept->size() > textsKept) {
        SDL_FreeSurface(kept->back().surface);
        kept->pop_back();
    }
    return r.surface;
}

struct Size {
    TTF_Font* font;
    std::string text;
    int w, h;
};

template <class Entry, class Match>
Entry* find(std::list<Entry>* entries, Match match)
{
    for (auto it = entries->begin(); it != entries->end(); ++it)
        if (match(*it)) {
            entries->splice(entries->begin(), *entries, it);
            return &entries->front();
        }
    return nullptr;
}

std::list<Rendering>& renderings()
{
    static std::list<Rendering> kept;
    return kept;
}

std::list<Size>& sizes()
{
    static std::list<Size> kept;
    return kept;
}

void measure(TTF_Font* font, const std::string& text, int* w, int* h)
{
    measureText(font, text, w, h);
}

SDL_Surface* rendered(TTF_Font* font, const std::string& text, SDL_Color color, bool blended)
{
    const Uint32 key = colourKey(color, blended);
    std::list<Rendering>& kept = renderings();
    if (Rendering* r = find(&kept, [&](const Rendering& e) {
            return e.font == font && e.colour == key && e.outline == noOutline && e.text == text;
        }))
        return r->surface;
    SDL_Surface* s = blended ? TTF_RenderUTF8_Blended(font, text.c_str(), color)
                             : TTF_RenderUTF8_Solid(font, text.c_str(), color);
    return s ? keep(&kept, Rendering{font, text, key, noOutline, s}) : nullptr;
}

// The coverage (0..255) of a rendering's pixel; 0 outside it.
Uint8 coverage(SDL_Surface* s, int x, int y)
{
    if (x < 0 || y < 0 || x >= s->w || y >= s->h)
        return 0;
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    Uint32 pixel = 0;
    switch (s->format->BytesPerPixel) {
    case 1:
        pixel = *p;
        break;
    case 2:
        pixel = *reinterpret_cast<const Uint16*>(p);
        break;
    case 4:
        pixel = *reinterpret_cast<const Uint32*>(p);
        break;
    default:
        return 0;
    }
    if ((s->flags & SDL_SRCCOLORKEY) && pixel == s->format->colorkey)
        return 0;
    Uint8 r, g, b, a;
    SDL_GetRGBA(pixel, s->format, &r, &g, &b, &a);
    return a;
}

// The text with its outline composed once into one surface a pixel larger
// on every side, so that a frame blits it once instead of five times.
SDL_Surface* composeOutlined(SDL_Surface* text, SDL_Color color, SDL_Color outline)
{
    // ARGB as SDL_ttf renders it, for which SDL has fast blitters.
    SDL_Surface* out = SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, text->w + 2, text->h + 2, 32, 0x00ff0000u,
                                            0x0000ff00u, 0x000000ffu, 0xff000000u);
    if (!out)
        return nullptr;
    SDL_LockSurface(text);
    SDL_LockSurface(out);
    for (int y = 0; y < out->h; ++y)
        for (int x = 0; x < out->w; ++x) {
            const double t = coverage(text, x - 1, y - 1) / 255.0;
            const double o = std::max(std::max(coverage(text, x - 2, y - 1), coverage(text, x, y - 1)),
                                      std::max(coverage(text, x - 1, y - 2), coverage(text, x - 1, y))) / 255.0;
            const double a = t + o * (1 - t);
            const auto mix = [&](Uint8 c, Uint8 h) {
                return static_cast<Uint32>(a > 0 ? (c * t + h * o * (1 - t)) / a + 0.5 : 0);
            };
            Uint8* p = static_cast<Uint8*>(out->pixels) + y * out->pitch + x * 4;
            const Uint32 pixel = SDL_MapRGBA(out->format, static_cast<Uint8>(mix(color.r, outline.r)),
                                             static_cast<Uint8>(mix(color.g, outline.g)),
                                             static_cast<Uint8>(mix(color.b, outline.b)),
                                             static_cast<Uint8>(a * 255 + 0.5));
            *reinterpret_cast<Uint32*>(p) = pixel;
        }
    SDL_UnlockSurface(out);
    SDL_UnlockSurface(text);
    return out;
}

SDL_Surface* renderedOutlined(TTF_Font* font, const std::string& text, SDL_Color color, SDL_Color outline,
                              bool blended)
{
    const Uint32 key = colourKey(color, blended), around = colourKey(outline, false);
    std::list<Rendering>& kept = renderings();
    if (Rendering* r = find(&kept, [&](const Rendering& e) {
            return e.font == font && e.colour == key && e.outline == around && e.text == text;
        }))
        return r->surface;
    SDL_Surface* plain = rendered(font, text, color, blended);
    SDL_Surface* s = plain ? composeOutlined(plain, color, outline) : nullptr;
    return s ? keep(&kept, Rendering{font, text, key, around, s}) : nullptr;
}

} // namespace

void measureText(TTF_Font* font, const std::string& text, int* w, int* h)
{
    *w = 0;
    *h = 0;
    if (!font)
        return;
    std::list<Size>& kept = sizes();
    if (Size* s = find(&kept, [&](const Size& e) { return e.font == font && e.text == text; })) {
        *w = s->w;
        *h = s->h;
        return;
    }
    TTF_SizeUTF8(font, text.c_str(), w, h);
    kept.push_front(Size{font, text, *w, *h});
    if (kept.size() > textsKept)
        kept.pop_back();
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
    measure(font, text, &w, &h);
    alignArea(flags, w, h, source, box);
}

void alignTextWithRolling(int flags, TTF_Font* font, const std::string& text, SDL_Rect* source, SDL_Rect* box,
                          FPS* fps, int* rollTimer, int* rollOffset, int pause, int speed)
{
    if (!box)
        return;
    int w, h;
    measure(font, text, &w, &h);
    const int boxW = box->w;
    alignArea(flags, w, h, source, box);
    if (boxW >= w || !source)
        return;

    if (*rollOffset == rollRestart) {
        *rollTimer = fps->pauseCarry(pause);
        *rollOffset = 0;
    }
    const int d = fps->moveDistance(speed, rollTimer);
    if (d != 0) {
        const int rollLimit = w - boxW;
        if (*rollOffset == rollLimit)
            *rollOffset = -rollLimit; // the pause at the far end is over: roll back
        const int n = *rollOffset + d;
        if (*rollOffset < 0) {
            if (n < 0) {
                *rollOffset = n;
            } else {
                *rollOffset = 0;
                *rollTimer = fps->pauseCarry(pause);
            }
        } else if (n < rollLimit) {
            *rollOffset = n;
        } else {
            *rollOffset = rollLimit;
            *rollTimer = fps->pauseCarry(pause);
        }
    }
    source->x = static_cast<Sint16>(*rollOffset < 0 ? -*rollOffset : *rollOffset);
}

void blitText(SDL_Surface* target, TTF_Font* font, const std::string& text, SDL_Color color, bool blended,
              SDL_Rect* source, SDL_Rect* box)
{
    if (!target || !font || text.empty())
        return;
    if (SDL_Surface* s = rendered(font, text, color, blended))
        SDL_UpperBlit(s, source, target, box);
}

void blitOutlinedText(SDL_Surface* target, TTF_Font* font, const std::string& text, SDL_Color color, SDL_Color outline,
                      bool blended, const SDL_Rect& source, const SDL_Rect& box)
{
    if (!target || !font || text.empty())
        return;
    SDL_Surface* s = renderedOutlined(font, text, color, outline, blended);
    if (!s)
        return;
    // The composed surface is the rendering moved one pixel in, with a rim.
    SDL_Rect from{source.x, source.y, static_cast<Uint16>(source.w + 2), static_cast<Uint16>(source.h + 2)};
    SDL_Rect at{static_cast<Sint16>(box.x - 1), static_cast<Sint16>(box.y - 1), 0, 0};
    SDL_UpperBlit(s, &from, target, &at);
}

} // namespace Effects
