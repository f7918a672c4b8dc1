#ifndef TESSEL_IMAGE_H
#define TESSEL_IMAGE_H

#include <SDL.h>
#include <string>

// The widgets' images: loaded once, converted for blending with the screen.
namespace Image {

// IMG_Load of `file` converted with SDL_DisplayFormatAlpha; null when the
// file cannot be read or decoded.
SDL_Surface* loadAlpha(const std::string& file);
// Blits the whole image with its top-left corner at (x, y); nothing for null.
void drawAt(SDL_Surface* image, SDL_Surface* target, int x, int y);
// Frees the image and clears the pointer.
void release(SDL_Surface** image);

} // namespace Image

#endif
