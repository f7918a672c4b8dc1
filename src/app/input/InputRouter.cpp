#include "InputRouter.h"

#include "EdgeBand.h"
#include "Map.h"
#include "Menu.h"
#include "Notification.h"
#include "ToolAction.h"
#include "ToolBar.h"

namespace {

Intent intentOf(Intent::Kind kind)
{
    Intent intent;
    intent.kind = kind;
    return intent;
}

} // namespace

KeyMap::Focus InputRouter::focus() const
{
    if (menu->visible)
        return KeyMap::Focus::menu;
    return toolBar->visible ? KeyMap::Focus::toolBar : KeyMap::Focus::map;
}

Intent InputRouter::route(const SDL_Event& event)
{
    if (notification->waiting() && (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN)) {
        notification->dismiss();
        return Intent();
    }
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION:
        return pointerEvent(event);
    case SDL_KEYDOWN:
        return intentOf(KeyMap::pressed(focus(), event.key.keysym));
    case SDL_KEYUP:
        return intentOf(KeyMap::released(event.key.keysym.sym));
    case SDL_QUIT:
        return intentOf(Intent::quit);
    default:
        return Intent();
    }
}

Intent InputRouter::pointerEvent(const SDL_Event& event)
{
    const bool motion = event.type == SDL_MOUSEMOTION;
    int x = static_cast<Sint16>(motion ? event.motion.x : event.button.x);
    int y = static_cast<Sint16>(motion ? event.motion.y : event.button.y);
    Intent intent;
    if (motion) {
        if (pointer.motion(x, y, map->loaded() && !menu->visible, &intent.x, &intent.y)) {
            intent.kind = Intent::drag;
            intent.endsPan = true; // a drag ends the pan from the edge
        }
    } else if (event.button.button == SDL_BUTTON_WHEELUP || event.button.button == SDL_BUTTON_WHEELDOWN) {
        if (event.type == SDL_MOUSEBUTTONDOWN && map->loaded()) {
            intent.kind = Intent::zoomAbout;
            intent.value = event.button.button == SDL_BUTTON_WHEELUP;
            intent.x = x;
            intent.y = y;
        }
    } else if (event.type == SDL_MOUSEBUTTONDOWN) {
        // A press in the map's edge band pans while held, so it acts at once.
        const bool edge = !menu->visible && !toolBar->visible && onMapEdge(x, y);
        pointer.press(x, y, edge);
        if (edge)
            intent = touch(x, y);
    } else {
        if (pointer.release(&x, &y))
            intent = touch(x, y);
        intent.endsPan = true;
    }
    return intent;
}

// A touch goes to the menu, then the toolbar, then the map; the first that
// takes it keeps it.
Intent InputRouter::touch(int x, int y)
{
    Intent intent;
    int chosen = -1;
    if (menu->click(x, y, &chosen)) {
        if (chosen == Mouse::resultSpecial) {
            if (!menu->model.parent())
                menu->visible = false;
        } else if (chosen != -1) {
            intent.kind = Intent::menuChoice;
            intent.value = chosen;
        }
        return intent;
    }
    if (menu->visible && (toolBar->visible || map->loaded()))
        menu->visible = false;
    if (toolBar->click(x, y, &chosen)) {
        if (chosen >= 0 && chosen < ToolAction::count) {
            intent.kind = Intent::toolAction;
            intent.value = chosen;
        }
        return intent;
    }
    if (toolBar->visible) {
        if (map->loaded())
            toolBar->visible = false;
        return intent;
    }
    if (!onMapEdge(x, y)) {
        toolBar->visible = true;
    } else {
        intent.kind = Intent::panToward;
        intent.x = x - screenW / 2;
        intent.y = y - screenH / 2;
    }
    return intent;
}

bool InputRouter::onMapEdge(int x, int y) const
{
    return map->loaded() && EdgeBand::contains(screenW, screenH, x, y);
}
