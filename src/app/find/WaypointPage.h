#ifndef TESSEL_WAYPOINTPAGE_H
#define TESSEL_WAYPOINTPAGE_H

#include "Waypoints.h"

class Lang;
class Menu;

// The "Waypoints" line of the map options page and the pages behind it:
// a line to mark the centre, then every waypoint nearest first (its
// distance and direction beside it); choosing one leads to its own page,
// which goes there, routes there, renames or deletes it.
class WaypointPage {
public:
    enum Line : int { go = 0, rename = 1, remove = 2, routeHere = 3, markHere = 1 << 20 };
    // Adds the line to `mapOptions` and the two pages.
    void build(Menu* menu, Lang* lang, int mapOptions);
    // The list anew, nearest to (lat, lon) first; the line's count.
    void fill(Menu* menu, Lang* lang, const Waypoints& waypoints, double lat, double lon);
    // Shows the page of waypoint `index`.
    void showOne(Menu* menu, const Waypoints& waypoints, std::size_t index);

    int page = -1, onePage = -1, line = -1, mapOptions = -1;
    int chosen = -1; // the waypoint the second page is about
};

#endif
