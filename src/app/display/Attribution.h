#ifndef TESSEL_ATTRIBUTION_H
#define TESSEL_ATTRIBUTION_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>

// The map's credits line, drawn over the tiles in a corner of the screen.
class Attribution {
public:
    void format(SDL_Rect area, int align, TTF_Font* font, SDL_Color color);
    // Draws `text` in the area on a light translucent plate; a light
    // outline keeps the dark letters readable over dark imagery and tracks.
    void draw(SDL_Surface* screen, const std::string& text, bool blended) const;

    SDL_Rect area{0, 0, 0, 0};
    int align = 0;
    TTF_Font* font = nullptr;
    SDL_Color color{0, 0, 0, 0};
};

#endif
