#ifndef TESSEL_PROGRAM_H
#define TESSEL_PROGRAM_H

#include "Attribution.h"
#include "Battery.h"
#include "Commands.h"
#include "ConfParser.h"
#include "FPS.h"
#include "Find.h"
#include "FiguresScreen.h"
#include "Fonts.h"
#include "GpsControls.h"
#include "Lang.h"
#include "Map.h"
#include "MapUI.h"
#include "Menu.h"
#include "Notification.h"
#include "InputRouter.h"
#include "Pages.h"
#include "RouteControls.h"
#include "Panning.h"
#include "ScreenDamage.h"
#include "ScreenParts.h"
#include "Settings.h"
#include "Splash.h"
#include "ToolBar.h"
#include "TrackPage.h"
#include "TrackReader.h"
#include "Tracks.h"
#include "Waker.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <functional>
#include <string>

class Clock;
class EventSource;

// Everything the main function owns once SDL, the screen and the fonts are
// up: the objects of the program, built in start-up order, and the loop.
// The event source and the clock are the seams through which tests drive it.
class Program {
public:
    static const char* const version;
    static const char* const authorship;
    static const char* const settingsFile;

    Program(SDL_Surface* screen, const Fonts& fonts, EventSource* events, Clock* clock);
    // Writes the changed settings, and says so when they cannot be written.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // One pass of the loop: one event at most, the actions, panning, the
    // whole screen drawn and shown, the frame paced. Returns false when the
    // pass asked to quit (its frame is still drawn and shown).
    bool pass();
    // Passes until a quit request, sleeping between them while nothing is
    // due (LoopWait); returns the program's exit code, 0.
    int run();
    // Sleeps until an event, a hand-over or the next thing due.
    void rest();

    SDL_Surface* const screen;
    const Fonts& fonts;
    // Woken by the loader, the track reader and the gps worker when they
    // hand something over; outlives their threads.
    Waker waker;

    Splash splash;
    const bool splashShown; // the start-up picture is shown before anything else is built
    ConfParser settings;
    FPS fps;
    Battery battery;
    ToolBar toolBar;
    Notification notification;
    Menu menu;
    Map map;
    Attribution attribution;
    Settings options;
    Lang lang;
    MapUI mapUI;
    Pages pages;
    Tracks tracks;
    TrackPage trackPage;
    GpsControls gps;
    // Routes: asked for on the route page, computed on their worker.
    RouteControls route;
    // Tracks are read off the frame from the first pass: on the reader's
    // thread (background), all at once (synchronous), or by tests through
    // trackReader.step() (manual). Set from background_loading.
    TrackReader trackReader;
    TilePipeline::Mode tracksMode = TilePipeline::Mode::background;
    FiguresScreen figures;
    // What the screen shows, in drawing order; read by the drawing and by
    // the damage tracking alike.
    std::vector<ScreenPart> screenParts;
    ScreenDamage damage;
    Panning panning;
    InputRouter input;
    Commands commands;
    Find find;
    // Shows a box of the screen; without it the screen surface is updated.
    std::function<void(const SDL_Rect&)> showBox;
    // Every frame drawn whole, as before damage was tracked (for comparing).
    bool fullRedraw = false;
    std::string trackAnnounced; // the large track said to be reading

private:
    void buildToolBar();
    void buildMenu();
    void tellWherePackagesGo();
    void loadTracks();
    void takeTracks();

    // Draws what changed (everything when fullRedraw) and shows it.
    void present();
    void draw();

    EventSource* events;
};

#endif
