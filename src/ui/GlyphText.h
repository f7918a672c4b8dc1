#ifndef TESSEL_GLYPHTEXT_H
#define TESSEL_GLYPHTEXT_H

#include <SDL.h>
#include <string>

class TextCache;

// A line of text composed straight into the target's pixels from the
// font's glyphs, kept in its TextCache: texts that change every frame (the
// coordinates while the map moves) cost no rendering and no allocation.
// Optionally with a one-pixel outline, the largest coverage of the four
// neighbours, blended with the ink in one step. When the glyphs would not
// place the line as the font does (kerning), the font's rendering of the
// line is used, kept.
class GlyphText {
public:
    // Draws the `source` part of the line at `box` (as Effects::alignText
    // places it), with `outline` (when given) one pixel around it; inside
    // target's clip rectangle only.
    static void draw(SDL_Surface* target, TextCache* cache, const std::string& text, SDL_Color ink,
                     const SDL_Color* outline, bool blended, const SDL_Rect& source, const SDL_Rect& box);

    // The line's coverage (0..255) into cache->scratch, with `margin` empty
    // pixels on every side; false when the glyphs cannot place it as the
    // font would (kerning, a missing glyph).
    static bool composeFromGlyphs(TextCache* cache, const std::string& text, bool blended, int margin, int* w,
                                  int* h);
};

#endif
