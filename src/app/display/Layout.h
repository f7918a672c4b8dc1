#ifndef TESSEL_LAYOUT_H
#define TESSEL_LAYOUT_H

#include "ToolAction.h"

#include <SDL.h>

// Where everything sits on the 320x240 screen, in which colours, and the
// pictures it is drawn with (paths from the run directory).
namespace Layout {

const SDL_Color amber{255, 191, 0, 0};
const SDL_Color black{0, 0, 0, 0};
const SDL_Color normalGrey{191, 191, 191, 0};
const SDL_Color disabledGrey{96, 96, 96, 0};
const SDL_Color selectedDisabledAmber{191, 143, 0, 0};

// How long a notification stays, in ms (errors twice as long).
const Uint32 messageMs = 1500;

const char* const splashImage = "media/splash.png";
const SDL_Rect versionBox{3, 0, 100, 20};
const SDL_Rect authorshipBox{61, 196, 256, 20};

const SDL_Rect batteryBox{299, 3, 18, 10};
const char* const batteryImages[] = {"media/battery_full.png", "media/battery_mid.png", "media/battery_low.png",
                                     "media/battery_empty.png"};

const SDL_Rect toolBarBox{0, 212, 320, 28};
const char* const toolBarImage = "media/toolbar_bg.png";
const SDL_Rect iconTextBox{180, 222, 118, 17};

// The toolbar's icons, left to right; media/icon_<image>.png, with "-d"
// (disabled) and "-a" (selected) variants.
struct Icon {
    ToolAction::Id action;
    const char* textId;
    SDL_Rect box;
    const char* image;
    bool needsMap;
};
const Icon icons[] = {
    {ToolAction::zoomIn, "zoom_in", {4, 219, 20, 20}, "zoomin", true},
    {ToolAction::zoomOut, "zoom_out", {25, 219, 20, 20}, "zoomout", true},
    {ToolAction::openPackage, "open_package", {47, 223, 16, 16}, "open", false},
    {ToolAction::save, "save", {66, 223, 16, 16}, "save", true},
    {ToolAction::options, "options", {85, 223, 16, 16}, "options", false},
    {ToolAction::mapOptions, "map_options", {104, 223, 16, 16}, "mapoptions", true},
    {ToolAction::follow, "follow", {123, 223, 16, 16}, "follow", true},
    {ToolAction::exit, "exit", {299, 222, 16, 16}, "exit", false},
    {ToolAction::search, "search", {142, 223, 16, 16}, "search", true},
    {ToolAction::mark, "mark", {161, 223, 16, 16}, "mark", true},
};

const SDL_Rect notificationBox{107, 0, 213, 25};
const char* const notificationImage = "media/bgnotification_bg.png";
const SDL_Rect notificationTextBox{115, 0, 200, 17};
// A message too long for that box: wrapped on a plate of the same colours.
const SDL_Color notificationPlate{30, 34, 42, 0};
const SDL_Color notificationRim{161, 126, 18, 0};

const SDL_Rect menuBox{32, 57, 256, 126};
const char* const menuImage = "media/menu_bg.png";
const SDL_Rect menuLinesBox{43, 90, 224, 80};
const SDL_Rect menuHeadingBox{40, 62, 240, 25};
const SDL_Rect scrollbarBox{271, 90, 9, 85};
const char* const scrollbarImages[] = {"media/scrollbar_top.png", "media/scrollbar_bottom.png",
                                       "media/scrollbar_bg.png", "media/scrollbar_slider.png"};
// Label and value widths of the two pages that show values.
const int mapOptionsLabelWidth = 122, mapOptionsValueWidth = 100;
const int optionsLabelWidth = 158, optionsValueWidth = 64;

const SDL_Rect attributionBox{3, 0, 160, 15};
const SDL_Rect fpsBox{230, 0, 60, 15};
const char* const centreCrossImage = "media/cross.png";

} // namespace Layout

#endif
