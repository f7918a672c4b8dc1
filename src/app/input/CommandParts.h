#ifndef TESSEL_COMMANDPARTS_H
#define TESSEL_COMMANDPARTS_H

class ConfParser;
class FPS;
class GpsControls;
class Lang;
class Map;
class MapUI;
class Menu;
class Notification;
class Panning;
class RouteControls;
class ScreenDamage;
class ToolBar;
class TrackPage;
class Tracks;
struct Pages;
struct Settings;
struct SDL_Surface;

// The objects of a run that commands act on (none owned).
struct CommandParts {
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
    RouteControls* route;
};

#endif
