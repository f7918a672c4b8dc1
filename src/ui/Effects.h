#ifndef TESSEL_EFFECTS_H
#define TESSEL_EFFECTS_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>

class FPS;

// Placement of content (a rendered line of text) inside a box: alignment,
// clipping and the back-and-forth rolling of lines wider than their box.
namespace Effects {

enum Align {
    alignLeft = 0x01,
    alignCenter = 0x02,
    alignRight = 0x04,
    alignTop = 0x08,
    alignMiddle = 0x10,
    alignBottom = 0x20,
    horizontalMask = 0x07
};

// Rolling::offset value that restarts rolling from the beginning with a pause.
const int rollRestart = 0x7fffffff;
// The pause at each end (ms) and the speed (pixels per second) of rolling.
const int rollPause = 500;
const int rollSpeed = 25;

// The back-and-forth of a line wider than its box: the offset shown and the
// time carried toward the next step.
struct Rolling {
    int timer = 0;
    int offset = rollRestart;
    void restart() { offset = rollRestart; }
};

// Places content of w x h in *box: *box becomes the clipped position and
// size, *source the part of the content to copy. Nothing when box is null.
void alignArea(int flags, int w, int h, SDL_Rect* source, SDL_Rect* box);

// alignArea() for `text` as `font` renders it.
void alignText(int flags, TTF_Font* font, const std::string& text, SDL_Rect* source, SDL_Rect* box);

// alignText(), and for text wider than the box advances `rolling` and
// shifts source->x to match.
void alignTextWithRolling(int flags, TTF_Font* font, const std::string& text, SDL_Rect* source, SDL_Rect* box,
                          FPS* fps, Rolling* rolling);

// Width and height of `text` in `font`, remembered for the texts seen lately
// in the font's TextCache when it has one.
void measureText(TTF_Font* font, const std::string& text, int* w, int* h);

// Blits the `source` part of `text` (anti-aliased when `blended`) onto
// `target` at `box`. Renderings are kept in the font's TextCache, so a text
// that does not change is rendered once. Nothing when text is empty or
// cannot be rendered.
void blitText(SDL_Surface* target, TTF_Font* font, const std::string& text, SDL_Color color, bool blended,
              SDL_Rect* source, SDL_Rect* box);

// blitText() with a one-pixel outline in `outline` around the letters, so
// that the text stays readable over any map (OutlinedText).
void blitOutlinedText(SDL_Surface* target, TTF_Font* font, const std::string& text, SDL_Color color, SDL_Color outline,
                      bool blended, const SDL_Rect& source, const SDL_Rect& box);

// blitText() for a text that changes every frame (the coordinates while the
// map moves): composed from the font's glyphs, nothing rendered (GlyphText).
void blitChangingText(SDL_Surface* target, TTF_Font* font, const std::string& text, SDL_Color color, bool blended,
                      const SDL_Rect& source, const SDL_Rect& box);

// A light translucent plate over `area` (within target's clip rectangle), for
// text to read on over any map and any track.
void plate(SDL_Surface* target, const SDL_Rect& area);

} // namespace Effects

#endif
