#ifndef TESSEL_DISPLAY_H
#define TESSEL_DISPLAY_H

#include "Placement.h"

#include <SDL.h>

// The window and the picture in it. The program always draws on `canvas`,
// 320x240 in 16 bits; the window shows it `scale` times larger (nearest
// neighbour), centred in full screen. Its event source hands the program
// pointer positions on the canvas.
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

    // Copies `box` of `from` into `to`, each pixel a scale x scale square,
    // the picture's corner at (offsetX, offsetY). Both 16 bits per pixel.
    static void scaleInto(SDL_Surface* from, const SDL_Rect& box, SDL_Surface* to, int scale, int offsetX, int offsetY);

    Placement placement() const { return Placement{scale, offsetX, offsetY}; }

    SDL_Surface* canvas = nullptr;
    SDL_Surface* window = nullptr;
    int scale = 1;
    int offsetX = 0, offsetY = 0;
    bool fullscreen = false;

private:
    bool setMode();

    int requested = 1;
    int desktopW = 0, desktopH = 0;
};

#endif
