#include "TestSupport.h"

void ScriptedEvents::key(SDLKey sym, bool down, SDLMod mod)
{
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    queue.push_back(e);
}

void ScriptedEvents::motion(int x, int y)
{
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = static_cast<Uint16>(x);
    e.motion.y = static_cast<Uint16>(y);
    queue.push_back(e);
}

void ScriptedEvents::press(int x, int y, bool down, Uint8 button)
{
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    e.button.x = static_cast<Uint16>(x);
    e.button.y = static_cast<Uint16>(y);
    queue.push_back(e);
}

void ScriptedEvents::quit()
{
    SDL_Event e{};
    e.type = SDL_QUIT;
    queue.push_back(e);
}
