#ifndef TESSEL_ATTRIBUTION_H
#define TESSEL_ATTRIBUTION_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>
#include <vector>

// The map's credits line, drawn over the tiles in a corner of the screen.
// A credit wider than the area is wrapped between words onto lines below,
// so it is read whole, never cut.
class Attribution {
public:
    static const std::size_t maxLines = 4;

    void format(SDL_Rect area, int align, TTF_Font* font, SDL_Color color);
    // Draws `text` in the area on a light translucent plate; a light
    // outline keeps the dark letters readable over dark imagery and tracks.
    void draw(SDL_Surface* screen, const std::string& text, bool blended);
    // The lines `text` is drawn on (kept for the last text).
    const std::vector<std::string>& lines(const std::string& text);

    SDL_Rect area{0, 0, 0, 0};
    int align = 0;
    TTF_Font* font = nullptr;
    SDL_Color color{0, 0, 0, 0};

private:
    std::string linesOf;
    std::vector<std::string> wrapped;
};

#endif
