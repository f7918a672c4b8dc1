#ifndef TESSEL_SCREENDAMAGE_H
#define TESSEL_SCREENDAMAGE_H

#include "ScreenPart.h"

#include <SDL.h>
#include <vector>

// Which parts of the screen must be drawn again. Every part's region has
// a box and a fingerprint of what it shows; a region is damaged when its
// fingerprint differs from the one last shown, or when time is due to
// change it. A frame in which nothing is damaged draws nothing.
class ScreenDamage {
public:
    ScreenDamage(SDL_Surface* screen, const std::vector<ScreenPart>* parts) : screen(screen), parts(parts) {}

    // The boxes to draw again now (on the screen, possibly overlapping);
    // the whole screen until a first frame was shown.
    std::vector<SDL_Rect> damaged();
    // After the screen was drawn inside `clip`: the regions wholly inside
    // it are taken as shown.
    void shown(const SDL_Rect& clip);
    // The next frame draws everything.
    void forget() { known = false; }

private:
    std::vector<ScreenRegion> regions() const;
    SDL_Rect screenBox() const;

    SDL_Surface* screen;
    const std::vector<ScreenPart>* parts;
    bool known = false;
    std::vector<ScreenRegion> last;
};

#endif
