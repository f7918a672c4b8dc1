#include "Attribution.h"

#include "Effects.h"

void Attribution::format(SDL_Rect area, int align, TTF_Font* font, SDL_Color color)
{
    this->area = area;
    this->align = align;
    this->font = font;
    this->color = color;
}

void Attribution::draw(SDL_Surface* screen, const std::string& text, bool blended) const
{
    if (text.empty())
        return;
    SDL_Rect source;
    SDL_Rect box = area;
    Effects::alignText(align, font, text, &source, &box);
    // A light plate under the letters and their outline, as over the position.
    Effects::plate(screen, SDL_Rect{static_cast<Sint16>(box.x - 2), box.y, static_cast<Uint16>(box.w + 4), box.h});
    Effects::blitOutlinedText(screen, font, text, color, SDL_Color{255, 255, 255, 0}, blended, source, box);
}
