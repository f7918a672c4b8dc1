#include "SdlEventSource.h"

#include "Waker.h"
#include "WindowConnection.h"

#include <poll.h>

bool SdlEventSource::poll(SDL_Event* event)
{
    if (SDL_PollEvent(event) == 0)
        return false;
    SDL_Event next;
    while (event->type == SDL_MOUSEMOTION && SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) == 1 &&
           next.type == SDL_MOUSEMOTION)
        SDL_PeepEvents(event, 1, SDL_GETEVENT, SDL_MOUSEMOTIONMASK);
    toCanvas(display->placement(), event);
    return true;
}

void SdlEventSource::toCanvas(const Placement& placement, SDL_Event* event)
{
    Uint16* x = nullptr;
    Uint16* y = nullptr;
    if (event->type == SDL_MOUSEMOTION) {
        x = &event->motion.x;
        y = &event->motion.y;
    } else if (event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP) {
        x = &event->button.x;
        y = &event->button.y;
    } else {
        return;
    }
    int cx = *x, cy = *y;
    placement.toCanvas(&cx, &cy);
    *x = static_cast<Uint16>(cx);
    *y = static_cast<Uint16>(cy);
}

void SdlEventSource::wait(int ms, Waker* waker)
{
    // Pumping reads whatever the connection already holds, so the sleep
    // below cannot miss an event that came in while the frame was drawn.
    SDL_PumpEvents();
    SDL_Event next;
    if (ms == 0 || SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0)
        return;
    const int x = pollOnly ? -1 : WindowConnection::descriptor();
    if (x < 0 && (ms < 0 || ms > maxPollGapMs))
        ms = maxPollGapMs;
    pollfd fds[2] = {{waker->fd(), POLLIN, 0}, {x, POLLIN, 0}};
    ::poll(fds, x < 0 ? 1 : 2, ms);
    waker->clear();
}
