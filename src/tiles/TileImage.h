#ifndef TESSEL_TILEIMAGE_H
#define TESSEL_TILEIMAGE_H

#include "Bitmap.h"

#include <SDL.h>
#include <memory>

// A finished cell picture and an SDL surface over its pixels, for blitting.
// Made on the main thread from what the loader delivered; shared by the
// cache and the grid cells that show it.
class TileImage {
public:
    // `substitute`: the tile itself was missing; what shows stands in for it.
    explicit TileImage(std::shared_ptr<const Bitmap> bitmap, bool substitute = false);
    ~TileImage();
    TileImage(const TileImage&) = delete;
    TileImage& operator=(const TileImage&) = delete;

    std::size_t bytes() const { return bitmap->bytes() + sizeof(TileImage); }

    const std::shared_ptr<const Bitmap> bitmap;
    SDL_Surface* const surface;
    const bool substitute;
};

#endif
