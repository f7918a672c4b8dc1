#ifndef TESSEL_SDLEVENTSOURCE_H
#define TESSEL_SDLEVENTSOURCE_H

#include "Display.h"
#include "EventSource.h"

// SDL's queue; a run of pointer motions comes as its last one, so that a
// drag keeps up with the pointer at one event per frame. Positions in the
// window are taken to the display's canvas.
class SdlEventSource : public EventSource {
public:
    explicit SdlEventSource(const Display* display) : display(display) {}

    bool poll(SDL_Event* event) override;
    // Sleeps in poll() on the X server's connection and the waker. Where
    // events can only be polled for (no X connection, an open joystick),
    // it sleeps at most maxPollGapMs.
    void wait(int ms, Waker* waker) override;

    static const int maxPollGapMs = 33;
    bool pollOnly = false; // events come from something SDL must poll
    // A pointer event's position from the window to the canvas (stored as
    // the signed 16-bit number the program reads).
    static void toCanvas(const Placement& placement, SDL_Event* event);

private:
    const Display* display;
};

#endif
