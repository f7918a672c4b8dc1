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
    // A pointer event's position from the window to the canvas (stored as
    // the signed 16-bit number the program reads).
    static void toCanvas(const Placement& placement, SDL_Event* event);

private:
    const Display* display;
};

#endif
