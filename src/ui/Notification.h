#ifndef TESSEL_NOTIFICATION_H
#define TESSEL_NOTIFICATION_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>

class FPS;

// A short message over a background image, shown for a limited time.
class Notification {
public:
    Notification(SDL_Surface* surface, FPS* fps);
    ~Notification();
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    // The background image (drawn at `box`) and where and how the message is
    // placed. Without the image the message is drawn alone.
    void bgFormat(SDL_Rect box, std::string image, SDL_Rect textBox, int align, TTF_Font* font, SDL_Color color);
    // Shows `text` for `duration` ms from now, replacing any message.
    void setBg(std::string text, int duration);
    // Draws the message while it lasts; the first call after it expires clears it.
    void draw(bool blended);

    SDL_Rect bgBox{0, 0, 0, 0};
    SDL_Rect bgTextBox{0, 0, 0, 0};
    int bgAlign = 0;
    SDL_Surface* bgImage = nullptr;
    TTF_Font* bgFont = nullptr;
    SDL_Color bgColor{0, 0, 0, 0};
    std::string bgText;
    Uint32 bgUntil = 0;
    SDL_Surface* surface;

private:
    FPS* fps;
};

#endif
