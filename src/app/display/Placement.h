#ifndef TESSEL_PLACEMENT_H
#define TESSEL_PLACEMENT_H

// Where the canvas sits in the window: each canvas pixel a scale x scale
// square, the canvas's corner at (offsetX, offsetY).
struct Placement {
    int scale = 1;
    int offsetX = 0, offsetY = 0;

    // The placement in a window of w x h for a canvas of canvasW x canvasH:
    // in a window the scale asked for (the window is made to its size), in
    // full screen the largest whole scale that fits, centred.
    static Placement fit(int w, int h, int canvasW, int canvasH, int requested, bool fullscreen);
    // Window coordinates to canvas coordinates. Positions left of or above
    // the picture stay outside it (negative).
    void toCanvas(int* x, int* y) const;
};

#endif
