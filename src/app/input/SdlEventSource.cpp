#include "SdlEventSource.h"

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
