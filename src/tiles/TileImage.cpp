#include "TileImage.h"

namespace {

SDL_Surface* surfaceOver(const Bitmap& b)
{
    if (b.size <= 0)
        return nullptr;
    // SDL only reads these pixels; the bitmap is never written once shared.
    void* pixels = const_cast<std::uint16_t*>(b.rgb.data());
    return SDL_CreateRGBSurfaceFrom(pixels, b.size, b.size, 16, b.size * 2, 0xf800, 0x07e0, 0x001f, 0);
}

} // namespace

TileImage::TileImage(std::shared_ptr<const Bitmap> bitmap, bool substitute)
    : bitmap(std::move(bitmap)), surface(surfaceOver(*this->bitmap)), substitute(substitute)
{
}

TileImage::~TileImage()
{
    if (surface)
        SDL_FreeSurface(surface);
}
