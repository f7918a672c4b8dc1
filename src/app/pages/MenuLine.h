#ifndef TESSEL_MENULINE_H
#define TESSEL_MENULINE_H

// The ids of the menu's fixed lines, named once for the pages that add them
// and the commands that act on them. Ids are per page: a page of values
// numbers its lines by what they stand for (a frame rate, a speed), and the
// package, layer, language and track pages by their index.
struct MenuLine {
    enum Id : int {
        // map options page
        background = 1,
        overlay = 2,
        tracks = 28,
        // exit page
        saveAndExit = 3,
        exitWithoutSaving = 4,
        // options page: its settings' lines are in OptionTable; the gps line
        // and its page of values
        gps = 29,
        gpsOn = 30,
        gpsOff = 31,
        // tracks page, whose other lines are numbered by file
        recordTrack = 1 << 20,
        // map options page: the route's line
        route = 60,
        // map options page: the waypoints
        waypoints = 33,
        // the figures line of file i is trackFigures + i
        trackFigures = 1 << 21,
    };
};

#endif
