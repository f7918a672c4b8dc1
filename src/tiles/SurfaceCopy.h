#ifndef TESSEL_SURFACECOPY_H
#define TESSEL_SURFACECOPY_H

#include <SDL.h>

// SDL_UpperBlit for the frame's bulk, the tiles: between surfaces of one
// pixel format with neither colour key nor alpha, rows are copied with
// memcpy, which moves a tile row in a few dozen vector instructions where
// SDL 1.2's copy blitter moves it a byte at a time. Anything else goes to
// SDL_UpperBlit. Clips as SDL does (source to its surface, the result to
// the target's clip rectangle) and, as SDL does, leaves the rectangle
// written in *dest.
class SurfaceCopy {
public:
    static int blit(SDL_Surface* from, SDL_Rect* source, SDL_Surface* to, SDL_Rect* dest);
};

#endif
