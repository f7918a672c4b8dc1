#ifndef TESSEL_COMMANDS_H
#define TESSEL_COMMANDS_H

#include "Intent.h"

#include <functional>

class ConfParser;
class FPS;
class GpsControls;
class Lang;
class Map;
class MapUI;
class Menu;
class Notification;
class Panning;
class ScreenDamage;
class ToolBar;
class TrackPage;
class Tracks;
struct Pages;
struct Settings;
struct SDL_Surface;

// Carries out what the input asked for: the menu's and the toolbar's keys,
// their lines and icons, zooming and panning. Choices are stored in the
// settings as they are made.
class Commands {
public:
    struct Parts {
        SDL_Surface* screen;
        Map* map;
        Menu* menu;
        ToolBar* toolBar;
        Notification* notification;
        Lang* lang;
        ConfParser* settings;
        Settings* options;
        FPS* fps;
        Pages* pages;
        MapUI* mapUI;
        Tracks* tracks;
        TrackPage* trackPage;
        Panning* panning;
        ScreenDamage* damage;
        GpsControls* gps;
    };

    explicit Commands(const Parts& parts) : parts(parts) {}

    void perform(const Intent& intent);
    // Saves the position and says whether it worked.
    bool savePosition();

    // F11: into or out of full screen; true when it switched.
    std::function<bool()> toggleFullscreen;
    // Set once the user asked to leave.
    bool quit = false;

private:
    bool menuKey(Intent::Kind kind);
    bool toolBarKey(Intent::Kind kind);
    bool mapIntent(const Intent& intent);
    void zoomAbout(int x, int y, bool in);
    void runToolAction(int action);
    void runMenuChoice(int a);
    bool setOption(int a);
    bool storeYesNo(int a);
    void runMenuLine(int a);
    void openPackage(int index);
    void chooseTrack(int a);
    void setFpsLimit(int limit);
    void setMissingTiles(int a);
    void changeSpeed(int speed);
    void changeMultiplier(int factor);
    void showPage(int page);

    Parts parts;
};

#endif
