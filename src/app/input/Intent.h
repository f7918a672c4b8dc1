#ifndef TESSEL_INTENT_H
#define TESSEL_INTENT_H

// What one event asks of the program, once the key tables, the pointer and
// the widgets under it have had their say. `Commands` carries it out.
struct Intent {
    enum Kind {
        none,
        quit,
        toggleFullscreen,
        // the menu's own keys
        menuUp,
        menuDown,
        menuPageUp,
        menuPageDown,
        menuFirst,
        menuLast,
        menuSelect,
        menuBack,  // to the parent page, or closed from a first page
        menuClose, // closed from any page
        // the toolbar's own keys
        toolUp,
        toolDown,
        toolLeft,
        toolRight,
        toolSelect,
        hideToolBar,
        showToolBar,
        // the map
        zoomIn,
        zoomOut,
        zoomAbout, // at (x, y): the map point there stays there; value 1 in, 0 out
        panUp,
        panDown,
        panLeft,
        panRight,
        panToward,  // the screen point (x, y), as from a press in the edge band
        drag,       // the map by (x, y) pixels
        stopPanX,
        stopPanY,
        boost,      // the pan speed times the multiplier while held
        follow,     // centre on the live position and follow it again
        endBoost,
        // a line or an icon the pointer chose
        menuChoice, // value: the line's id
        toolAction, // value: a ToolAction
        openSearch, // the search page
    };

    Kind kind = none;
    int value = -1;
    int x = 0, y = 0;
    // The event ends a pan from the edge or the keys (a release, a drag).
    bool endsPan = false;
};

#endif
