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

// The rules between the tables, not the tables themselves: the keys that
// work everywhere win over every focus, and an open menu keeps the map's
// keys from reaching the map.
TEST(KeyMap, GlobalKeysWinEverywhereAndTheMenuHoldsBackTheMapsKeys)
{
    using Focus = KeyMap::Focus;
    for (Focus focus : {Focus::menu, Focus::toolBar, Focus::map}) {
        EXPECT_EQ(KeyMap::pressed(focus, keyOf(SDLK_c, KMOD_LCTRL)), Intent::quit);
        EXPECT_EQ(KeyMap::pressed(focus, keyOf(SDLK_F11)), Intent::toggleFullscreen);
        EXPECT_EQ(KeyMap::pressed(focus, keyOf(SDLK_c)), Intent::none);
    }
    EXPECT_EQ(KeyMap::pressed(Focus::menu, keyOf(SDLK_UP)), Intent::menuUp);
    EXPECT_EQ(KeyMap::pressed(Focus::map, keyOf(SDLK_UP)), Intent::panUp);
    EXPECT_EQ(KeyMap::pressed(Focus::menu, keyOf(SDLK_KP_PLUS)), Intent::none) << "no zoom under the menu";
}
