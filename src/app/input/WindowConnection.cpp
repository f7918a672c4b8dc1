#include "WindowConnection.h"

// Apart from the rest of the program: Xlib's headers declare a Display of
// their own.
#include <SDL.h>
#include <SDL_syswm.h>

int WindowConnection::descriptor()
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11)
        return -1;
    return ConnectionNumber(info.info.x11.display);
}
