// Tessel: an offline viewer for tiled web maps on a 320x240 screen.
#include "Clock.h"
#include "EventSource.h"
#include "Program.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <cstdio>
#include <cstdlib>

SDL_Surface* screen = nullptr;
SDL_Joystick* joy = nullptr;

namespace {

const char* const fontFile = "media/font.ttf";

void Terminate()
{
    SDL_Quit();
}

void startSdl()
{
    // No SDL timer subsystem: the program only reads ticks and waits, which
    // need none, and on Unix the subsystem's thread wakes a thousand times a
    // second for nothing.
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) < 0) {
        std::fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    std::atexit(Terminate);
    SDL_ShowCursor(SDL_ENABLE);
    SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);

    screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
    if (!screen) {
        std::fprintf(stderr, "Couldn't set 320x240x16 video mode: %s\n", SDL_GetError());
        std::exit(2);
    }
    SDL_WM_SetCaption("Tessel", "Tessel");

    if (SDL_NumJoysticks() > 0) {
        joy = SDL_JoystickOpen(0);
        if (!joy)
            std::fprintf(stderr, "Couldn't open joystick 0: %s\n", SDL_GetError());
    }
}

Fonts openFonts()
{
    Fonts fonts;
    if (TTF_Init() < 0 || !fonts.open(fontFile)) {
        std::fprintf(stderr, "Couldn't open the font %s: %s\n", fontFile, TTF_GetError());
        std::exit(3);
    }
    return fonts;
}

} // namespace

int main(int, char*[])
{
    startSdl();
    const Fonts fonts = openFonts();
    SdlEventSource events;
    Program program(screen, fonts, &events, SdlClock::instance());
    return program.run();
}
