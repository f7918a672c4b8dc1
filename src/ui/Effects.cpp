#include "Effects.h"

#include "FPS.h"

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
    Uint32 colour; // with the blended flag in the top byte
    SDL_Surface* surface;
};

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
    const Uint32 key = static_cast<Uint32>(color.r) | static_cast<Uint32>(color.g) << 8 |
                       static_cast<Uint32>(color.b) << 16 | (blended ? 1u << 24 : 0u);
    std::list<Rendering>& kept = renderings();
    if (Rendering* r = find(&kept, [&](const Rendering& e) { return e.font == font && e.colour == key && e.text == text; }))
        return r->surface;
    SDL_Surface* s = blended ? TTF_RenderUTF8_Blended(font, text.c_str(), color)
                             : TTF_RenderUTF8_Solid(font, text.c_str(), color);
    if (!s)
        return nullptr;
    kept.push_front(Rendering{font, text, key, s});
    if (kept.size() > textsKept) {
        SDL_FreeSurface(kept.back().surface);
        kept.pop_back();
    }
    return s;
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
    const int around[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto& d : around) {
        SDL_Rect from = source;
        SDL_Rect at{static_cast<Sint16>(box.x + d[0]), static_cast<Sint16>(box.y + d[1]), box.w, box.h};
        blitText(target, font, text, outline, blended, &from, &at);
    }
    SDL_Rect from = source;
    SDL_Rect at = box;
    blitText(target, font, text, color, blended, &from, &at);
}

} // namespace Effects
