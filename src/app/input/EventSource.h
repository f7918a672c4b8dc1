#ifndef TESSEL_EVENTSOURCE_H
#define TESSEL_EVENTSOURCE_H

#include <SDL.h>

// Where the main loop takes its input. The program polls SDL's queue; tests
// hand in scripted events. Pointer positions are on the canvas; read them
// as signed (Sint16): a position left of or above the picture is negative.
class EventSource {
public:
    virtual ~EventSource() = default;
    // Takes the next waiting event into *event; false when none waits.
    virtual bool poll(SDL_Event* event) = 0;
};

#endif
