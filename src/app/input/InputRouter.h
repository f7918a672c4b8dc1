#ifndef TESSEL_INPUTROUTER_H
#define TESSEL_INPUTROUTER_H

#include "Intent.h"
#include "KeyMap.h"
#include "Pointer.h"

#include <SDL.h>

class Map;
class Menu;
class Notification;
class ToolBar;

// Turns one event into what it asks for. Keys go through the key tables of
// the focus; a touch goes to the menu, then the toolbar, then the map, and
// the first that takes it keeps it (the widgets move their own selection or
// page as they take it). Pointer positions arrive in canvas coordinates.
// While a long answer to the user waits to be read, the next key or press
// only dismisses it; a notice that came by itself never takes input.
class InputRouter {
public:
    InputRouter(const Map* map, Menu* menu, ToolBar* toolBar, Notification* notification, int screenW, int screenH)
        : map(map), menu(menu), toolBar(toolBar), notification(notification), screenW(screenW), screenH(screenH)
    {
    }

    Intent route(const SDL_Event& event);
    KeyMap::Focus focus() const;

    Pointer pointer;

private:
    Intent pointerEvent(const SDL_Event& event);
    Intent touch(int x, int y);
    // A press on the open map within its edge band.
    bool onMapEdge(int x, int y) const;

    const Map* map;
    Menu* menu;
    ToolBar* toolBar;
    Notification* notification;
    int screenW, screenH;
};

#endif
