#ifndef TESSEL_GPSCONTROLS_H
#define TESSEL_GPSCONTROLS_H

#include "GpsAddress.h"
#include "LivePosition.h"

#include <string>

class Clock;
class ConfParser;
class Lang;
class Map;
class Menu;
class Notification;
class ToolBar;
class TrackPage;
class Tracks;
struct Settings;

// The live position's place in the viewer: the "GPS" line of the options
// page (its value the fix state, its page switching the link on and off),
// the "Record track" line of the tracks page, the follow icon, and the
// notifications when gpsd is absent or lost and when a recording stops by
// itself. Choices are stored in the settings as they are made.
class GpsControls {
public:
    struct Parts {
        Map* map;
        Menu* menu;
        ToolBar* toolBar;
        Notification* notification;
        Lang* lang;
        ConfParser* settings;
        const Settings* options;
        Tracks* tracks;
        TrackPage* trackPage;
        Clock* clock;
    };

    explicit GpsControls(const Parts& parts) : parts(parts) {}

    // Adds the menu lines; `optionsPage` is the options page.
    void build(int optionsPage);
    // Starts the link to gpsd as the setting "gps" says, or as `override`
    // ("off" or HOST:PORT) when it is not empty. `threaded`: on its own
    // thread; otherwise live.step() works it (tests).
    void start(const std::string& override, bool threaded = true);
    // Once per frame: the feed's news, the state line, the icon, and what
    // is worth a notification.
    void update();
    // A menu line chosen on `page`; false when it is none of these.
    bool choose(int page, int line);
    // The key F or the follow icon.
    void resume() { live.resume(parts.map); }

    LivePosition live;
    int page = -1; // on / off
    int optionsLine = -1, recordLine = -1;

private:
    void switchLink(bool on);
    void switchRecording();
    void refreshLines();
    void tellLinkChange();
    std::string addressText() const;

    Parts parts;
    GpsAddress address; // the last one that was not "off"
    bool threaded = true;
    int optionsPage = -1;
    long shownState = -1; // what the lines show, as refreshLines() sums it up
    // The address came from the user (--gps, a gps setting of their own,
    // the link switched on): an absent gpsd is worth a notice.
    bool userChoseGps = false;
    GpsStatus::Link lastLink = GpsStatus::off;
};

#endif
