#ifndef TESSEL_EVENTSOURCE_H
#define TESSEL_EVENTSOURCE_H

#include <SDL.h>

// Where the main loop takes its input. The program polls SDL's queue; tests
// hand in scripted events.
class EventSource {
public:
    virtual ~EventSource() = default;
    // Takes the next waiting event into *event; false when none waits.
    virtual bool poll(SDL_Event* event) = 0;
};

class SdlEventSource : public EventSource {
public:
    bool poll(SDL_Event* event) override { return SDL_PollEvent(event) != 0; }
};

#endif
