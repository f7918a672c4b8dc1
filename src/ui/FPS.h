#ifndef TESSEL_FPS_H
#define TESSEL_FPS_H

#include <SDL.h>
#include <SDL_ttf.h>

class Clock;

// The program's frame clock: caps the frame rate, turns speeds in units per
// second into whole units for the current frame, and draws the measured rate.
class FPS {
public:
    // Uses `clock` for every reading and wait; the program passes none and
    // gets the machine's.
    explicit FPS(Clock* clock = nullptr);

    void setText(SDL_Surface* surface, SDL_Rect box, int align, TTF_Font* font, SDL_Color color);
    // Frames per second at most; 0 or a negative value means no cap.
    void setLimit(int limit);
    // Ends a frame: waits as the cap requires and measures the frame.
    void refresh();
    // The next frame starts now (after the loop slept).
    void resume() { lastTicks = ticks(); }
    // Whole units to move in this frame at `speed` units per second. *carry
    // keeps the fraction (in thousandths) between frames; a negative carry
    // -T holds the movement at 0 until tick T.
    int moveDistance(int speed, int* carry);
    // Draws "<rate> FPS" in the text box; nothing before setText().
    void draw(bool blended);

    // The clock's current tick count.
    Uint32 ticks() const;
    // A carry that pauses a movement for `ms` milliseconds from now.
    int pauseCarry(int ms) const;

    Uint32 lastTicks;
    Uint32 frameTime;
    int limit;
    SDL_Surface* surface;
    SDL_Rect textBox;
    int textAlign;
    TTF_Font* font;
    SDL_Color textColor;
    Uint32 nextTextUpdate;
    float shownRate;

private:
    Clock* clock;
};

#endif
