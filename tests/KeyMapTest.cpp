#include "KeyMap.h"

#include <gtest/gtest.h>

namespace {

SDL_keysym keyOf(SDLKey sym, SDLMod mod = KMOD_NONE)
{
    SDL_keysym key{};
    key.sym = sym;
    key.mod = mod;
    return key;
}

} // namespace

TEST(KeyMap, EachFocusHasItsOwnTableAndTheGlobalKeysComeFirst)
{
    using Focus = KeyMap::Focus;
    for (Focus focus : {Focus::menu, Focus::toolBar, Focus::map}) {
        EXPECT_EQ(KeyMap::pressed(focus, keyOf(SDLK_c, KMOD_LCTRL)), Intent::quit);
        EXPECT_EQ(KeyMap::pressed(focus, keyOf(SDLK_F11)), Intent::toggleFullscreen);
        EXPECT_EQ(KeyMap::pressed(focus, keyOf(SDLK_c)), Intent::none);
    }
    EXPECT_EQ(KeyMap::pressed(Focus::menu, keyOf(SDLK_UP)), Intent::menuUp);
    EXPECT_EQ(KeyMap::pressed(Focus::toolBar, keyOf(SDLK_UP)), Intent::toolUp);
    EXPECT_EQ(KeyMap::pressed(Focus::map, keyOf(SDLK_UP)), Intent::panUp);
    EXPECT_EQ(KeyMap::pressed(Focus::menu, keyOf(SDLK_ESCAPE)), Intent::menuClose);
    EXPECT_EQ(KeyMap::pressed(Focus::menu, keyOf(SDLK_BACKSPACE)), Intent::menuBack);
    EXPECT_EQ(KeyMap::pressed(Focus::map, keyOf(SDLK_ESCAPE)), Intent::showToolBar);
    EXPECT_EQ(KeyMap::pressed(Focus::menu, keyOf(SDLK_KP_PLUS)), Intent::none) << "no zoom under the menu";
    EXPECT_EQ(KeyMap::pressed(Focus::menu, keyOf(SDLK_PAGEDOWN)), Intent::menuPageDown);
    EXPECT_EQ(KeyMap::pressed(Focus::menu, keyOf(SDLK_HOME)), Intent::menuFirst);
    EXPECT_EQ(KeyMap::pressed(Focus::menu, keyOf(SDLK_END)), Intent::menuLast);
    for (Focus focus : {Focus::toolBar, Focus::map}) {
        for (SDLKey in : {SDLK_KP_PLUS, SDLK_PLUS, SDLK_EQUALS, SDLK_PAGEUP})
            EXPECT_EQ(KeyMap::pressed(focus, keyOf(in)), Intent::zoomIn) << in;
        for (SDLKey out : {SDLK_KP_MINUS, SDLK_MINUS, SDLK_PAGEDOWN})
            EXPECT_EQ(KeyMap::pressed(focus, keyOf(out)), Intent::zoomOut) << out;
    }
}
