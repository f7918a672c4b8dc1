#ifndef TESSEL_COMMANDS_H
#define TESSEL_COMMANDS_H

#include "CommandParts.h"
#include "Intent.h"
#include "OptionChoices.h"

#include <functional>

// Carries out what the input asked for: the menu's and the toolbar's keys,
// their lines and icons, zooming and panning. Choices are stored in the
// settings as they are made.
class Commands {
public:
    using Parts = CommandParts;

    explicit Commands(const Parts& parts) : parts(parts), optionChoices(parts) {}

    void perform(const Intent& intent);
    // Saves the position and says whether it worked.
    bool savePosition();

    // F11: into or out of full screen; true when it switched.
    std::function<bool()> toggleFullscreen;
    // Toolbar actions and menu lines of parts that keep their own (the
    // search and the waypoints); each says whether it took the choice.
    std::function<bool(int action)> extraAction;
    std::function<bool(int page, int line)> extraChoice;
    // Set once the user asked to leave.
    bool quit = false;

private:
    bool menuKey(Intent::Kind kind);
    bool toolBarKey(Intent::Kind kind);
    bool mapIntent(const Intent& intent);
    void zoomAbout(int x, int y, bool in);
    void runToolAction(int action);
    void runMenuChoice(int a);
    void runMenuLine(int a);
    void openPackage(int index);
    void chooseTrack(int a);
    void showPage(int page);

    Parts parts;
    OptionChoices optionChoices;
};

#endif
