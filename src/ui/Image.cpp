#include "Image.h"

#include <SDL_image.h>

namespace Image {

SDL_Surface* loadAlpha(const std::string& file)
{
    SDL_Surface* loaded = IMG_Load(file.c_str());
    if (!loaded)
        return nullptr;
    SDL_Surface* converted = SDL_DisplayFormatAlpha(loaded);
    SDL_FreeSurface(loaded);
    // Run-length encoded once, the image blends only its translucent
    // pixels and copies or skips the rest.
    if (converted)
        SDL_SetAlpha(converted, SDL_SRCALPHA | SDL_RLEACCEL, SDL_ALPHA_OPAQUE);
    return converted;
}

void drawAt(SDL_Surface* image, SDL_Surface* target, int x, int y)
{
    if (!image || !target)
        return;
    SDL_Rect at{static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_UpperBlit(image, nullptr, target, &at);
}

void release(SDL_Surface** image)
{
    if (*image)
        SDL_FreeSurface(*image);
    *image = nullptr;
}

} // namespace Image
