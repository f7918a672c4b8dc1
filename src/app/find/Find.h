#ifndef TESSEL_FIND_H
#define TESSEL_FIND_H

#include "FindPage.h"
#include "FindSearch.h"
#include "LonLat.h"
#include "MapMarks.h"
#include "WaypointPage.h"
#include "Waypoints.h"

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Fonts;
class Lang;
class LivePosition;
class Map;
class Menu;
class Notification;
class Signature;
class ToolBar;
class Waker;
struct Settings;

// Finding a place in the viewer: the search page (the indexes of maps/,
// the waypoints, coordinates typed in), the waypoints (marked, listed,
// renamed, deleted, kept in tracks/waypoints.gpx) and what both put on the
// map. Queries run on the indexes' workers; update() shows their answers.
class Find {
public:
    struct Parts {
        SDL_Surface* screen;
        const Fonts* fonts;
        Map* map;
        Menu* menu;
        ToolBar* toolBar;
        Notification* notification;
        Lang* lang;
        const LivePosition* live;
        const Settings* options;
        Waker* waker;
    };
    static const char* const waypointsFile;

    explicit Find(const Parts& parts) : parts(parts) {}

    // Reads the waypoints and adds their pages behind `mapOptions`.
    void build(int mapOptions);
    // While the page shows, its events (not key releases, nor the keys
    // that act everywhere); false for the others.
    bool takeEvent(const SDL_Event& event);
    // Once per frame: the answers the workers handed over.
    void update();
    // The search and mark icons (and the key "/"); false for other actions.
    bool toolAction(int action);
    // A line of the waypoint pages or their line on `page`; false otherwise.
    bool choose(int page, int line);

    void openSearch();
    void mark();
    // The place last chosen on the search page, until the next search.
    bool destination(LonLat* at) const;
    // Asks for a route to a waypoint (its page's "Route here"); set by the program.
    std::function<bool(double lat, double lon)> routeTo;

    void drawOnMap(bool blended);
    void drawPage(bool blended);
    void signMap(Signature* look) const;
    void signPage(Signature* look) const { page.sign(look); }

    // Tests: no worker threads; search.step() answers.
    bool manual = false;
    FindPage page;
    FindSearch search;
    Waypoints waypoints;
    std::uint64_t waypointsRevision = 0; // changes with the list (loaded, saved)
    WaypointPage waypointPage;
    MapMarks marks;

private:
    enum class Naming { none, mark, rename };
    void openPage(const char* promptId, const std::string& text, Naming what);
    void refresh();
    void showLines();
    void chooseLine(int line);
    void confirmName();
    bool saveWaypoints();
    // The live fix when there is one, else the view's centre.
    bool origin(double* lat, double* lon) const;
    bool centre(double* lat, double* lon) const;
    void goTo(double lat, double lon, int level);

    Parts parts;
    std::vector<SearchResult> found; // places read from the field itself (coordinates)
    std::vector<SearchResult> shown; // the lines shown, in order
    std::string note;
    Naming naming = Naming::none;
    LonLat namingAt;
    std::size_t renaming = 0;
};

#endif
