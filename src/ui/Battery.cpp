#include "Battery.h"

#include "FPS.h"

#include "Image.h"

Battery::Battery(SDL_Surface* surface, FPS* fps, SDL_Rect box, std::string full, std::string mid, std::string low,
                 std::string empty)
    : surface(surface), box(box), fps(fps)
{
    const std::string files[4] = {full, mid, low, empty};
    for (int i = 0; i < 4; ++i)
        levelImages[i] = Image::loadAlpha(files[i]);
}

Battery::~Battery()
{
    for (SDL_Surface*& image : levelImages)
        Image::release(&image);
}

void Battery::draw()
{
    if (fps->ticks() >= nextStep) {
        level = level <= 0 ? 3 : level - 1;
        nextStep = fps->ticks() + stepMs;
    }
    Image::drawAt(levelImages[level > 2 ? 3 : level], surface, box.x, box.y);
}
