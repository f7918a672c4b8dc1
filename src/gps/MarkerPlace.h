#ifndef TESSEL_MARKERPLACE_H
#define TESSEL_MARKERPLACE_H

// Where the position marker goes on a screen of width x height: at the
// fix's screen position (x, y) when that lies within `margin` of the
// edges' inside, else pulled in along the line from the screen's centre to
// the fix until it does, marked `atEdge` (it then points the way to the
// fix). Positions may be far outside the screen or not finite.
struct MarkerPlace {
    double x = 0, y = 0;
    bool atEdge = false;

    static MarkerPlace of(double x, double y, int width, int height, int margin);
};

#endif
