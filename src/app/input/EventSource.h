#ifndef TESSEL_EVENTSOURCE_H
#define TESSEL_EVENTSOURCE_H

#include <SDL.h>

class Waker;

// Where the main loop takes its input. The program polls SDL's queue; tests
// hand in scripted events. Pointer positions are on the canvas; read them
// as signed (Sint16): a position left of or above the picture is negative.
class EventSource {
public:
    virtual ~EventSource() = default;
    // Takes the next waiting event into *event; false when none waits.
    virtual bool poll(SDL_Event* event) = 0;
    // Sleeps until an event waits, `waker` is woken or `ms` milliseconds
    // have passed (-1: no limit). A source that cannot sleep returns at once.
    virtual void wait(int ms, Waker* waker)
    {
        (void)ms;
        (void)waker;
    }
};

#endif
