#ifndef TESSEL_CANVASSCALER_H
#define TESSEL_CANVASSCALER_H

#include <SDL.h>
#include <vector>

// Copies a box of the RGB565 canvas into the window, each pixel a
// scale x scale square, in the window's own pixel format and in one pass:
// a window at the display's depth needs no shadow surface, which SDL would
// convert again on every update. The colours are SDL's own conversion, kept
// in a table SDL fills once per format (none for an RGB565 window).
class CanvasScaler {
public:
    // For windows of `format`; false when it has 1 byte per pixel.
    bool prepare(const SDL_PixelFormat* format);
    // `from` is RGB565; `to` of the prepared format. The picture's corner
    // lands at (offsetX, offsetY).
    void copy(SDL_Surface* from, const SDL_Rect& box, SDL_Surface* to, int scale, int offsetX, int offsetY) const;

private:
    std::vector<Uint32> colours; // the window pixel of each RGB565 value, in its bytes
    int bytes = 2;
};

#endif
