#ifndef TESSEL_MENUSCROLLBAR_H
#define TESSEL_MENUSCROLLBAR_H

#include "MenuPage.h"

#include <SDL.h>
#include <string>

// The menu's scrollbar: a track with a slider at the selected line's share
// of the page, and arrows at the ends while lines lie beyond the window.
class MenuScrollbar {
public:
    enum Touch { none, up, down, track };

    MenuScrollbar() = default;
    ~MenuScrollbar();
    MenuScrollbar(const MenuScrollbar&) = delete;
    MenuScrollbar& operator=(const MenuScrollbar&) = delete;

    // Missing images are not drawn; the parts keep their boxes from
    // whichever images loaded.
    void load(SDL_Rect box, std::string top, std::string bottom, std::string track, std::string slider);
    void draw(SDL_Surface* surface, const MenuPage& m);
    // What a touch at (x, y) asks of page `m`.
    Touch touched(const MenuPage& m, int x, int y) const;
    // The line at height y of the track, for a page of `lines` lines.
    int lineAt(int y, int lines) const;
    // Everything the scrollbar draws lies inside this, united with `all`.
    SDL_Rect extent(SDL_Rect all) const;

    bool on = false;
    SDL_Surface* topImage = nullptr;
    SDL_Surface* bottomImage = nullptr;
    SDL_Surface* trackImage = nullptr;
    SDL_Surface* sliderImage = nullptr;
    SDL_Rect trackBox{0, 0, 0, 0};
    SDL_Rect topBox{0, 0, 0, 0};
    SDL_Rect bottomBox{0, 0, 0, 0};
    SDL_Rect sliderBox{0, 0, 0, 0};
};

#endif
