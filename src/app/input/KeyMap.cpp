#include "KeyMap.h"

namespace {

struct Binding {
    SDLKey key;
    Intent::Kind kind;
};

const Binding menuKeys[] = {
    {SDLK_UP, Intent::menuUp},           {SDLK_DOWN, Intent::menuDown},     {SDLK_PAGEUP, Intent::menuPageUp},
    {SDLK_PAGEDOWN, Intent::menuPageDown}, {SDLK_HOME, Intent::menuFirst},    {SDLK_END, Intent::menuLast},
    {SDLK_RETURN, Intent::menuSelect},   {SDLK_BACKSPACE, Intent::menuBack}, {SDLK_ESCAPE, Intent::menuClose},
};

// Zoom wherever the map shows (the toolbar's focus and the map's): from the
// keypad, and from the keys a laptop has: + (or the unshifted = under it),
// - and Page Up/Page Down.
const Binding zoomKeys[] = {
    {SDLK_KP_PLUS, Intent::zoomIn},   {SDLK_PLUS, Intent::zoomIn},  {SDLK_EQUALS, Intent::zoomIn},
    {SDLK_PAGEUP, Intent::zoomIn},    {SDLK_KP_MINUS, Intent::zoomOut}, {SDLK_MINUS, Intent::zoomOut},
    {SDLK_PAGEDOWN, Intent::zoomOut},
};

const Binding toolBarKeys[] = {
    {SDLK_UP, Intent::toolUp},         {SDLK_DOWN, Intent::toolDown},        {SDLK_LEFT, Intent::toolLeft},
    {SDLK_RIGHT, Intent::toolRight},   {SDLK_RETURN, Intent::toolSelect},    {SDLK_BACKSPACE, Intent::hideToolBar},
    {SDLK_ESCAPE, Intent::hideToolBar}, {SDLK_f, Intent::follow}, {SDLK_SLASH, Intent::openSearch},
};

const Binding mapKeys[] = {
    {SDLK_UP, Intent::panUp},          {SDLK_DOWN, Intent::panDown},         {SDLK_LEFT, Intent::panLeft},
    {SDLK_RIGHT, Intent::panRight},    {SDLK_LSHIFT, Intent::boost},         {SDLK_RSHIFT, Intent::boost},
    {SDLK_BACKSPACE, Intent::showToolBar}, {SDLK_ESCAPE, Intent::showToolBar}, {SDLK_f, Intent::follow},
    {SDLK_SLASH, Intent::openSearch},
};

const Binding releasedKeys[] = {
    {SDLK_LEFT, Intent::stopPanX}, {SDLK_RIGHT, Intent::stopPanX}, {SDLK_UP, Intent::stopPanY},
    {SDLK_DOWN, Intent::stopPanY}, {SDLK_LSHIFT, Intent::endBoost}, {SDLK_RSHIFT, Intent::endBoost},
};

template <std::size_t n>
Intent::Kind find(const Binding (&table)[n], SDLKey key)
{
    for (const Binding& binding : table)
        if (binding.key == key)
            return binding.kind;
    return Intent::none;
}

Intent::Kind orZoom(Intent::Kind kind, SDLKey key)
{
    return kind != Intent::none ? kind : find(zoomKeys, key);
}

} // namespace

Intent::Kind KeyMap::pressed(Focus focus, const SDL_keysym& key)
{
    if (key.sym == SDLK_c && (key.mod & KMOD_CTRL))
        return Intent::quit;
    if (key.sym == SDLK_F11)
        return Intent::toggleFullscreen;
    switch (focus) {
    case Focus::menu:
        return find(menuKeys, key.sym);
    case Focus::toolBar:
        return orZoom(find(toolBarKeys, key.sym), key.sym);
    case Focus::map:
        return orZoom(find(mapKeys, key.sym), key.sym);
    }
    return Intent::none;
}

Intent::Kind KeyMap::released(SDLKey key)
{
    return find(releasedKeys, key);
}
