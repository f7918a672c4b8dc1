#include "Notification.h"

#include "Effects.h"
#include "FPS.h"

#include <SDL_image.h>

Notification::Notification(SDL_Surface* surface, FPS* fps) : surface(surface), fps(fps)
{
    if (!TTF_WasInit())
        TTF_Init();
}

Notification::~Notification()
{
    if (bgImage)
        SDL_FreeSurface(bgImage);
}

void Notification::bgFormat(SDL_Rect box, std::string image, SDL_Rect textBox, int align, TTF_Font* font,
                            SDL_Color color)
{
    bgBox = box;
    if (bgImage)
        SDL_FreeSurface(bgImage);
    bgImage = nullptr;
    if (SDL_Surface* loaded = IMG_Load(image.c_str())) {
        bgImage = SDL_DisplayFormatAlpha(loaded);
        SDL_FreeSurface(loaded);
    }
    bgTextBox = textBox;
    bgAlign = align;
    bgFont = font;
    bgColor = color;
}

void Notification::setBg(std::string text, int duration)
{
    bgText = text;
    bgUntil = fps->ticks() + static_cast<Uint32>(duration);
}

void Notification::draw(bool blended)
{
    if (bgText.empty())
        return;
    if (fps->ticks() >= bgUntil) {
        bgText.clear();
        return;
    }
    if (bgImage) {
        SDL_Rect at = bgBox;
        SDL_UpperBlit(bgImage, nullptr, surface, &at);
    }
    SDL_Rect source;
    SDL_Rect box = bgTextBox;
    Effects::alignText(bgAlign, bgFont, bgText, &source, &box);
    Effects::blitText(surface, bgFont, bgText, bgColor, blended, &source, &box);
}
