#include "Effects.h"

#include "FPS.h"

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

void measure(TTF_Font* font, const std::string& text, int* w, int* h)
{
    *w = 0;
    *h = 0;
    if (font)
        TTF_SizeUTF8(font, text.c_str(), w, h);
}

} // namespace

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
    SDL_Surface* rendered = blended ? TTF_RenderUTF8_Blended(font, text.c_str(), color)
                                    : TTF_RenderUTF8_Solid(font, text.c_str(), color);
    if (!rendered)
        return;
    SDL_UpperBlit(rendered, source, target, box);
    SDL_FreeSurface(rendered);
}

} // namespace Effects
