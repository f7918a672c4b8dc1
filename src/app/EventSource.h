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

// SDL's queue; a run of pointer motions comes as its last one, so that a
// drag keeps up with the pointer at one event per frame.
class SdlEventSource : public EventSource {
public:
    bool poll(SDL_Event* event) override
    {
        if (SDL_PollEvent(event) == 0)
            return false;
        SDL_Event next;
        while (event->type == SDL_MOUSEMOTION && SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) == 1 &&
               next.type == SDL_MOUSEMOTION)
            SDL_PeepEvents(event, 1, SDL_GETEVENT, SDL_MOUSEMOTIONMASK);
        return true;
    }
};

#endif
