#ifndef TESSEL_EDGEBAND_H
#define TESSEL_EDGEBAND_H

// The band along the screen's edges where a press on the map pans it
// towards the press for as long as it is held.
struct EdgeBand {
    static constexpr int width = 32;

    // True when (x, y) of a w x h screen lies within the band.
    static bool contains(int w, int h, int x, int y)
    {
        return x < width || x > w - width || y < width || y > h - width;
    }
};

#endif
