#ifndef TESSEL_KEYMAP_H
#define TESSEL_KEYMAP_H

#include "Intent.h"

#include <SDL.h>

// The key tables: what a key asks for in each focus. A key bound in no
// table does nothing. Adding a key is adding a row to a table in KeyMap.cpp.
class KeyMap {
public:
    // Where the keys go: the menu when it is shown, else the toolbar when
    // it is shown, else the map.
    enum class Focus { menu, toolBar, map };

    // Ctrl+C and F11 act in every focus, before the focus's own table; the
    // zoom keys (keypad, +, =, -, Page Up/Down) where the map shows.
    static Intent::Kind pressed(Focus focus, const SDL_keysym& key);
    // Releases act in every focus (a pan or a boost ends with its key).
    static Intent::Kind released(SDLKey key);
};

#endif
