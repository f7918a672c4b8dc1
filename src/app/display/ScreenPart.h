#ifndef TESSEL_SCREENPART_H
#define TESSEL_SCREENPART_H

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <vector>

// A box of the screen with a fingerprint of what a part shows there, and
// whether time is due to change it (a rolling text, the battery's next
// step, a message's end, the next frame-rate reading).
struct ScreenRegion {
    SDL_Rect box;
    std::uint64_t look;
    bool due;
};

// One part of the screen as both the drawing and the damage tracking see
// it. The program keeps its parts in one list, in drawing order; adding a
// part to the screen is adding one entry there.
struct ScreenPart {
    const char* name;
    // Appends the part's regions, always as many of them.
    std::function<void(std::vector<ScreenRegion>*)> regions;
    std::function<void()> draw;
    // Called before every full redraw, for a part whose regions are costly
    // to measure and change only when its images are loaded.
    std::function<void()> measure;
};

#endif
