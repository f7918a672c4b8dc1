// Tessel: an offline viewer for tiled web maps on a 320x240 screen.
#include "Clock.h"
#include "CommandLine.h"
#include "ConfParser.h"
#include "Display.h"
#include "Program.h"
#include "SdlEventSource.h"
#include "UserDirectory.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

SDL_Joystick* joy = nullptr;

namespace {

const char* const fontFile = "media/font.ttf";

void Terminate()
{
    SDL_Quit();
}

std::string executablePath()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

// Chooses the run's directory, lays it out when it is a user directory, and
// makes it the working directory.
bool enterDirectory(const CommandLine& line, std::string* error)
{
    const std::string data = UserDirectory::installedData(executablePath());
    std::string dir;
    if (!UserDirectory::choose(line.dir, data, &dir, error))
        return false;
    if (dir != "." && !UserDirectory::layOut(dir, data, error))
        return false;
    if (chdir(dir.c_str()) != 0) {
        *error = "tessel: cannot enter " + dir;
        return false;
    }
    return true;
}

// The window's scale: the command line's, else tessel.conf's "scale" (0,
// the default, for the largest that fits).
int windowScale(const CommandLine& line)
{
    if (line.scale > 0)
        return line.scale;
    int scale = 0;
    ConfParser(Program::settingsFile, 1).intValue("scale", &scale);
    return scale >= 0 && scale <= Display::maxWindowScale ? scale : 0;
}

// SDL's video with the driver the user chose in SDL_VIDEODRIVER; else the
// first graphical one that starts, in SDL's own order. Without a display SDL
// would fall back to drawing text art into the terminal and never end: that
// is refused with a message.
bool startVideo()
{
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    if (chosen && chosen[0])
        return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    std::string x11Error;
    for (const char* driver : {"x11", "dga", "fbcon", "directfb", "ggi", "svgalib"}) {
        setenv("SDL_VIDEODRIVER", driver, 1);
        const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        unsetenv("SDL_VIDEODRIVER");
        if (started)
            return true;
        if (x11Error.empty())
            x11Error = SDL_GetError();
    }
    // With DISPLAY set, X11 is what the user meant: say that display could
    // not be opened, with SDL's own words (SDL's X11 driver reports an
    // unreachable display as no video device).
    const char* display = std::getenv("DISPLAY");
    if (display && display[0])
        SDL_SetError("Couldn't open X11 display %s (%s); SDL_VIDEODRIVER chooses a video driver", display,
                     x11Error.c_str());
    else
        SDL_SetError("no display (DISPLAY is not set and no framebuffer can be used); "
                     "SDL_VIDEODRIVER chooses a video driver");
    return false;
}

void startSdl(Display* display, const CommandLine& line)
{
    // No audio (the program plays no sound) and no timer subsystem (ticks
    // and waits need none; on Unix its thread wakes a thousand times a
    // second).
    if (SDL_Init(SDL_INIT_JOYSTICK) < 0 || !startVideo()) {
        std::fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    std::atexit(Terminate);
    SDL_ShowCursor(SDL_ENABLE);
    if (!display->open(windowScale(line), line.fullscreen)) {
        std::fprintf(stderr, "Couldn't set 320x240x16 video mode: %s\n", SDL_GetError());
        std::exit(2);
    }
    SDL_WM_SetCaption("Tessel", "Tessel");
    // Typed characters, for the search field.
    SDL_EnableUNICODE(1);

    if (SDL_NumJoysticks() > 0) {
        joy = SDL_JoystickOpen(0);
        if (!joy)
            std::fprintf(stderr, "Couldn't open joystick 0: %s\n", SDL_GetError());
    }
}

void openFonts(Fonts* fonts)
{
    if (TTF_Init() < 0 || !fonts->open(fontFile)) {
        char here[PATH_MAX];
        const std::string where = getcwd(here, sizeof here) ? std::string(here) + "/" + fontFile : fontFile;
        std::fprintf(stderr, "Couldn't open the font %s: %s\n", where.c_str(), TTF_GetError());
        std::exit(3);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    CommandLine line;
    std::string error;
    if (!line.parse(argc, argv, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return CommandLine::usageError;
    }
    if (line.help) {
        std::fputs(CommandLine::usage().c_str(), stdout);
        return 0;
    }
    if (line.version) {
        std::printf("Tessel %s\n", Program::version);
        return 0;
    }
    if (!enterDirectory(line, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return CommandLine::usageError;
    }
    static Display display; // outlives the program, which draws on its canvas
    startSdl(&display, line);
    Fonts fonts; // closed after the program, releasing what it drew
    openFonts(&fonts);
    SdlEventSource events(&display);
    events.pollOnly = joy != nullptr; // SDL reads a joystick only when asked
    Program program(display.canvas, fonts, &events, Clock::system());
    program.showBox = [](const SDL_Rect& box) { display.show(box); };
    program.commands.toggleFullscreen = [] { return display.toggleFullscreen(); };
    program.gps.start(line.gps);
    return program.run();
}
