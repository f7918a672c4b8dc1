#ifndef TESSEL_SPRITE_H
#define TESSEL_SPRITE_H

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <vector>

typedef struct _cairo cairo_t;

// A small picture drawn once with cairo and then laid on an RGB 5-6-5
// surface as often as needed: each pixel kept as its 5-6-5 colour and an
// opacity of 32, so a frame blends a few hundred pixels instead of running
// cairo's paths again.
class Sprite {
public:
    // A size x size picture, drawn by `paint` on a transparent square whose
    // centre is (size / 2, size / 2).
    void paint(int size, const std::function<void(cairo_t*)>& paint);
    // Lays it with its centre at (cx, cy), inside the clip rectangle;
    // nothing on a surface that is not 16-bit.
    void draw(SDL_Surface* screen, int cx, int cy) const;
    bool empty() const { return size == 0; }

    int size = 0;

private:
    std::vector<std::uint16_t> colours;
    std::vector<std::uint8_t> alphas; // 0 to 32
};

#endif
