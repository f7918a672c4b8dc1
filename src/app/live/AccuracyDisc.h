#ifndef TESSEL_ACCURACYDISC_H
#define TESSEL_ACCURACYDISC_H

#include <SDL.h>
#include <cstdint>
#include <vector>

// The circle of a fix's horizontal accuracy: a faint disc with a firmer
// rim, blended straight into an RGB 5-6-5 surface inside its clip
// rectangle. The rows' extents are worked out once per radius, so a frame
// costs a few operations per covered pixel and nothing per row but a
// lookup.
class AccuracyDisc {
public:
    // Draws the circle of `radius` pixels around (cx, cy), its disc too
    // when `filled`; nothing when the surface is not 16-bit.
    void draw(SDL_Surface* screen, int cx, int cy, int radius, bool filled = true);

    // The colours and opacities (of 32) it is drawn with.
    static const std::uint16_t colour = 0x1BDF; // (30, 120, 255)
    static const unsigned fillAlpha = 5, rimAlpha = 22;

    // Row dy of the circle (|dy| <= radius): pixels with |dx| <= inside
    // are the disc, inside < |dx| <= outside the rim (inside is -1 where
    // the row meets only the rim).
    struct Row {
        int inside, outside;
    };
    const std::vector<Row>& rows(int radius);

private:
    int rowsRadius = -1;
    std::vector<Row> rowsOf; // index |dy|
};

#endif
