#ifndef TESSEL_DISPLAY_H
#define TESSEL_DISPLAY_H

#include "CanvasScaler.h"
#include "Placement.h"

#include <SDL.h>

// The window and the picture in it. The program always draws on `canvas`,
// 320x240 in 16 bits; the window, at the display's own depth, shows it
// `scale` times larger (nearest neighbour), centred in full screen. Its
// event source hands the program pointer positions on the canvas.
class Display {
public:
    static constexpr int width = 320, height = 240;
    static constexpr int maxWindowScale = 4;

    Display() = default;
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // `scale` 1 to 4, or 0 for the largest whose window fits the desktop.
    // False when the video mode cannot be set.
    bool open(int scale, bool fullscreen);
    // Copies `box` of the canvas to the window and shows it.
    void show(const SDL_Rect& box);
    // Into or out of full screen; false (and as before) when it fails.
    bool toggleFullscreen();

    Placement placement() const { return Placement{scale, offsetX, offsetY}; }

    SDL_Surface* canvas = nullptr;
    SDL_Surface* window = nullptr;
    int scale = 1;
    int offsetX = 0, offsetY = 0;
    bool fullscreen = false;
    // Bits per pixel of the window; 0 for the display's own (a benchmark
    // asks for 16 to measure SDL converting a shadow surface).
    int depth = 0;

private:
    bool setMode();
    int windowDepth() const;

    CanvasScaler scaler;
    int requested = 1;
    int desktopW = 0, desktopH = 0;
};

#endif
