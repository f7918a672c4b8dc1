#ifndef TESSEL_TEST_PROGRAMDRIVER_H
#define TESSEL_TEST_PROGRAMDRIVER_H

#include "FakeClock.h"
#include "Program.h"
#include "TestSupport.h"
#include "ToolAction.h"

#include <memory>
#include <string>

// The whole program driven as a user would: input queued as keys and
// touches, time fake, passes run by the test, in a fresh working folder
// of its own (made first, removed last, after the program). The test lays
// the run folder; start() builds the program in it.
class ProgramDriver {
public:
    // Builds the program; with `synchronousTiles` every tile is loaded
    // before the frame that shows it (the loader has tests of its own).
    Program& start(bool synchronousTiles = true);
    // Runs passes until the queued input is used up, then `extra` more.
    void run(int extra = 0);

    // A key pressed and released; a touch down and up (queued, not run).
    void key(SDLKey k, SDLMod mod = KMOD_NONE);
    void tap(int x, int y);
    void tapIcon(ToolAction::Id action);
    // The box of a toolbar icon, as the layout places it.
    static SDL_Rect iconBox(ToolAction::Id action);

    // Chooses line `line` of the page shown with the arrow keys and
    // RETURN, and runs.
    void chooseLine(int line);
    // Opens the package with this caption through the toolbar and the
    // package page, with keys.
    void openPackage(const std::string& caption);

    Program* operator->() const { return program.get(); }
    Program& operator*() const { return *program; }

    TempDir dir;
    FakeClock clock;
    ScriptedEvents events;
    std::unique_ptr<Program> program;
};

#endif
