#ifndef TESSEL_ROUTEPAGE_H
#define TESSEL_ROUTEPAGE_H

#include "Route.h"
#include "RouteProfile.h"

class Lang;
class Menu;

// The "Route" line of the map options page and the pages behind it: the
// route page (route to the centre cross, start there, how to travel, the
// shortest or quickest way, the turns, save, clear), the page of ways to
// travel and the page of turns, each turn a line that goes to its place.
class RoutePage {
public:
    // The route page's line ids.
    enum Line { go, startHere, transport, way, turns, save, clear };

    void build(Menu* menu, Lang* lang, int mapOptions);
    // The values shown: the profile, the route's length on the map options
    // line (choosing below copies a line's text there), what needs a route.
    void refresh(Menu* menu, Lang* lang, const RouteProfile& profile, const Route& route) const;
    // One line per turn of `route`, in the language's words.
    void listTurns(Menu* menu, Lang* lang, const Route& route) const;

    int page = -1, transportPage = -1, turnsPage = -1;
    int mapOptions = -1, line = -1;

private:
    int lines[clear + 1] = {};
};

#endif
