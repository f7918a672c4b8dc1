#include "Battery.h"

#include "FPS.h"

#include <SDL_image.h>

namespace {

SDL_Surface* loadImage(const std::string& file)
{
    SDL_Surface* loaded = IMG_Load(file.c_str());
    if (!loaded)
        return nullptr;
    SDL_Surface* converted = SDL_DisplayFormatAlpha(loaded);
    SDL_FreeSurface(loaded);
    return converted;
}

} // namespace

Battery::Battery(SDL_Surface* surface, FPS* fps, SDL_Rect box, std::string full, std::string mid, std::string low,
                 std::string empty)
    : surface(surface), box(box), fps(fps)
{
    const std::string files[4] = {full, mid, low, empty};
    for (int i = 0; i < 4; ++i)
        levelImages[i] = loadImage(files[i]);
}

Battery::~Battery()
{
    for (SDL_Surface* image : levelImages)
        if (image)
            SDL_FreeSurface(image);
}

void Battery::draw()
{
    if (fps->ticks() >= nextStep) {
        level = level <= 0 ? 3 : level - 1;
        nextStep = fps->ticks() + stepMs;
    }
    SDL_Surface* image = levelImages[level > 2 ? 3 : level];
    if (!image)
        return;
    SDL_Rect at{box.x, box.y, 0, 0};
    SDL_UpperBlit(image, nullptr, surface, &at);
}
