#ifndef TESSEL_SPLASH_H
#define TESSEL_SPLASH_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>

class Clock;

// The start-up picture, fitted to the screen: shown while the program starts
// and as the background for as long as no map is open. Texts are drawn into
// the picture itself, so they come back with every show().
class Splash {
public:
    // Without the picture file a black picture of the screen's size is used,
    // so the texts still show. `clock` waits for show(); the machine's by default.
    Splash(std::string file, SDL_Surface* screen, Clock* clock = nullptr);
    ~Splash();
    Splash(const Splash&) = delete;
    Splash& operator=(const Splash&) = delete;

    // Renders `text` into the picture, placed in `box` by `align` (right and
    // bottom before centre); a text wider or taller than the box starts at
    // its edge and is not clipped.
    void drawText(SDL_Rect box, int align, TTF_Font* font, bool blended, SDL_Color color, std::string text);
    // Copies the picture to the screen; with ms > 0 also updates that part of
    // the display and waits ms milliseconds.
    void show(int ms);

    SDL_Rect sourceBox{0, 0, 0, 0};
    SDL_Rect screenBox{0, 0, 0, 0};
    SDL_Surface* screen;
    SDL_Surface* picture = nullptr;

private:
    void fit();
    Clock* clock;
};

#endif
