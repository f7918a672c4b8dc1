#include "Attribution.h"

#include "Effects.h"
#include "TextWrap.h"

void Attribution::format(SDL_Rect area, int align, TTF_Font* font, SDL_Color color)
{
    this->area = area;
    this->align = align;
    this->font = font;
    this->color = color;
    linesOf.clear();
    wrapped.clear();
}

const std::vector<std::string>& Attribution::lines(const std::string& text)
{
    if (text == linesOf && !wrapped.empty())
        return wrapped;
    linesOf = text;
    const auto measure = [this](const std::string& line) {
        int w = 0, h = 0;
        Effects::measureText(font, line, &w, &h);
        return w;
    };
    wrapped = TextWrap::lines(text, area.w, measure);
    if (wrapped.size() > maxLines) {
        wrapped.resize(maxLines);
        wrapped.back() += "\xe2\x80\xa6";
    }
    return wrapped;
}

void Attribution::draw(SDL_Surface* screen, const std::string& text, bool blended)
{
    if (text.empty() || !font)
        return;
    SDL_Rect line = area;
    for (const std::string& words : lines(text)) {
        SDL_Rect source;
        SDL_Rect box = line;
        Effects::alignText(align, font, words, &source, &box);
        // A light plate under the letters and their outline, as over the position.
        Effects::plate(screen, SDL_Rect{static_cast<Sint16>(box.x - 2), box.y, static_cast<Uint16>(box.w + 4), box.h});
        Effects::blitOutlinedText(screen, font, words, color, SDL_Color{255, 255, 255, 0}, blended, source, box);
        line.y = static_cast<Sint16>(line.y + area.h);
    }
}
