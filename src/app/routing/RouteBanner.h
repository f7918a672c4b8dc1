#ifndef TESSEL_ROUTEBANNER_H
#define TESSEL_ROUTEBANNER_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>

class Signature;

// One line about the route across the top of the map, under the
// notification's place: the progress while it is computed, its length and
// time, or the next turn while a fix follows it. Nothing when empty.
class RouteBanner {
public:
    static constexpr SDL_Rect box{0, 26, 320, 17};

    std::string text;

    void draw(SDL_Surface* screen, TTF_Font* font, bool blended) const;
    void sign(Signature* signature) const;
};

#endif
