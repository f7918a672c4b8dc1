#ifndef TESSEL_SETTINGS_H
#define TESSEL_SETTINGS_H

#include "ConfParser.h"

#include <string>

// The values of "tessel.conf", read through the rows of `OptionTable`; a
// missing key keeps the value here.
struct Settings {
    int fpsLimit = 30;
    bool showFps = false;
    bool showBattery = true;  // show_battery: yes, no, or auto (the default)
    bool batteryFound = true; // what auto means: set before readFrom()
    bool smoothText = true;
    int moveSpeed = 100;    // pixels per second
    int moveMultiplier = 3; // boost factor
    bool centerCross = true;
    bool showPosition = true; // centre coordinates and scale bar
    std::string language = "english.conf";
    int tileCacheKb = 8192;     // decoded tiles kept
    bool missingParents = true; // missing_tiles=parent: an ancestor stands in
    bool backgroundLoading = true;
    std::string gps = "localhost:2947"; // gpsd's HOST:PORT, or "off"
    bool recordTrack = false;           // record the fixes into tracks/
    int labelLanguage = 0;              // label_language: local, latin or english (LabelLanguage::Choice)
    std::string routeProfile = "car";   // route_profile: foot, bicycle or car
    bool routeShortest = false;         // route_shortest: 1 shortest, 0 quickest

    void readFrom(const ConfParser& conf);
};

#endif
