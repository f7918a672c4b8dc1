#ifndef TESSEL_ROUTECONTROLS_H
#define TESSEL_ROUTECONTROLS_H

#include "Route.h"
#include "RouteBanner.h"
#include "RouteFollower.h"
#include "RouteLayer.h"
#include "RoutePage.h"
#include "RouteWorker.h"
#include "TurnText.h"

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <string>

class Clock;
class ConfParser;
class Lang;
class LivePosition;
class Map;
class Menu;
class Notification;
struct Settings;

// Routes in the viewer: asked for from the route page (from the live fix,
// else from a start the user set, to the centre cross), computed on the
// worker while the map moves on, drawn, listed turn by turn, followed with
// the live fix (a new route when the fix leaves it, the arrival said once)
// and saved into tracks/. The routing data is found in the maps folder,
// loaded on first use and released when another package opens.
class RouteControls {
public:
    struct Parts {
        Map* map;
        Menu* menu;
        Notification* notification;
        Lang* lang;
        ConfParser* settings;
        Settings* options;
        LivePosition* live;
        Clock* clock;
    };

    explicit RouteControls(const Parts& parts);

    // Adds the route line to the map options page and its pages.
    void build(int mapOptions);
    // A menu line chosen on `page`; false when it is none of these.
    bool choose(int page, int line);
    // A route to (lat, lon) from the live fix, else from the start set;
    // false (and said on screen) when there is no start.
    bool routeTo(double lat, double lon);
    // Escape while a route is computed cancels it; true when it did.
    bool cancelKey(const SDL_Event& event);
    // Once per frame: a finished route, the progress, the fix followed.
    void update();
    bool computing() const { return asked != 0; }
    // Writes the route as GPX into `dir`; says on screen how it went.
    bool save(const std::string& dir = "tracks");
    RouteProfile profile() const;

    // Runs on the worker's thread when a route is ready (the loop's waker).
    std::function<void()> onFinished;
    // false: nothing runs by itself, tests drive worker.step().
    bool threaded = true;
    // How often the progress line moves while a route is computed.
    static const std::uint32_t progressMs = 250;

    RouteWorker worker;
    Route route;
    RouteLayer layer;
    RouteBanner banner;
    RouteFollower follower;
    RoutePage page;

private:
    bool centre(double* lat, double* lon) const;
    bool ask(double fromLat, double fromLon, double toLat, double toLon);
    void take(const RouteResult& result);
    void follow();
    std::string followingText() const;
    void choosePageLine(int line);
    void again();
    void clear();
    void refresh();
    void say(const std::string& text);

    Parts parts;
    TurnText::Texts texts;
    std::uint64_t lastId = 0, asked = 0; // asked: the request in hand, 0 for none
    bool startSet = false, started = false;
    double startLat = 0, startLon = 0, toLat = 0, toLon = 0;
    unsigned long lastReports = 0;
    bool wasLive = false;
    bool bannerDue = false; // the banner's text is made again only when this is set
    const void* package = nullptr; // the map source open when data was last asked for
};

#endif
