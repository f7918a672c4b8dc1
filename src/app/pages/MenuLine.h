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
        // options page, each leading to its page of values
        language = 5,
        maxFps = 6,
        showFps = 7,
        showBattery = 10,
        smoothText = 13,
        moveSpeed = 19,
        moveMultiplier = 20,
        centerCross = 21,
        missingTiles = 23,
        showPosition = 26,
        gps = 29,
        // the pages of values behind them (a yes/no page's "no" is its yes + 1)
        showFpsYes = 8,
        showBatteryYes = 11,
        smoothTextYes = 14,
        centerCrossYes = 22,
        showPositionYes = 27,
        missingParent = 24,
        missingPlaceholder = 25,
        gpsOn = 30,
        gpsOff = 31,
        // tracks page, whose other lines are numbered by file
        recordTrack = 1 << 20,
    };
};

#endif
