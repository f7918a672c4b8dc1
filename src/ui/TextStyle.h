#ifndef TESSEL_TEXTSTYLE_H
#define TESSEL_TEXTSTYLE_H

#include <SDL.h>
#include <SDL_ttf.h>

// How a text is drawn: its font, colour and place in its box
// (Effects::Align flags).
struct TextStyle {
    TTF_Font* font = nullptr;
    SDL_Color colour{0, 0, 0, 0};
    int align = 0;
};

// The colours of a menu line in its four states.
struct LineColours {
    SDL_Color normal{0, 0, 0, 0};
    SDL_Color selected{0, 0, 0, 0};
    SDL_Color disabled{0, 0, 0, 0};
    SDL_Color selectedDisabled{0, 0, 0, 0};
};

#endif
