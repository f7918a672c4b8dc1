#ifndef TESSEL_POINTER_H
#define TESSEL_POINTER_H

// Tells a touch from a drag. A press that moves more than dragThreshold
// pixels before its release is a drag: the map follows the pointer and no
// touch happens. Otherwise the touch happens at the release, where the press
// was; only an early touch (one that must act while held, such as panning
// from the screen's edge) acts at the press.
class Pointer {
public:
    static constexpr int dragThreshold = 4;

    // `early`: the press was already acted on as a touch.
    void press(int x, int y, bool early);
    // True when the map should move by (*dx, *dy) for this motion; the first
    // such motion makes up for the distance moved before the drag began.
    bool motion(int x, int y, bool canDrag, int* dx, int* dy);
    // True when the touch is still to happen, at (*x, *y).
    bool release(int* x, int* y);

    bool down = false;
    bool dragging = false;

private:
    bool early = false;
    int startX = 0, startY = 0;
    int lastX = 0, lastY = 0;
};

#endif
