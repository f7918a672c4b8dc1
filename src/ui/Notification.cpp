#include "Notification.h"

#include "Effects.h"
#include "FPS.h"

#include "Image.h"

Notification::Notification(SDL_Surface* surface, FPS* fps) : surface(surface), fps(fps)
{
    if (!TTF_WasInit())
        TTF_Init();
}

Notification::~Notification()
{
    Image::release(&bgImage);
}

void Notification::bgFormat(SDL_Rect box, std::string image, SDL_Rect textBox, int align, TTF_Font* font,
                            SDL_Color color)
{
    bgBox = box;
    Image::release(&bgImage);
    bgImage = Image::loadAlpha(image);
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
    Image::drawAt(bgImage, surface, bgBox.x, bgBox.y);
    SDL_Rect source;
    SDL_Rect box = bgTextBox;
    Effects::alignText(bgAlign, bgFont, bgText, &source, &box);
    Effects::blitText(surface, bgFont, bgText, bgColor, blended, &source, &box);
}
