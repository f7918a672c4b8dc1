#include "RouteBanner.h"

#include "Effects.h"
#include "Signature.h"

#include <algorithm>

constexpr SDL_Rect RouteBanner::box;

void RouteBanner::draw(SDL_Surface* screen, TTF_Font* font, bool blended) const
{
    if (text.empty() || !font)
        return;
    int w = 0, h = 0;
    Effects::measureText(font, text, &w, &h);
    const int plateW = std::min<int>(box.w, w + 8);
    const SDL_Rect plate{static_cast<Sint16>(box.x + (box.w - plateW) / 2), box.y, static_cast<Uint16>(plateW), box.h};
    Effects::plate(screen, plate);
    SDL_Rect source;
    SDL_Rect at{static_cast<Sint16>(plate.x + 4), static_cast<Sint16>(box.y + 1), static_cast<Uint16>(box.w - 8),
                static_cast<Uint16>(box.h - 2)};
    Effects::alignText(Effects::alignLeft | Effects::alignTop, font, text, &source, &at);
    Effects::blitChangingText(screen, font, text, SDL_Color{0, 0, 0, 0}, blended, source, at);
}

void RouteBanner::sign(Signature* signature) const
{
    signature->add(text);
}
