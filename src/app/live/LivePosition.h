#ifndef TESSEL_LIVEPOSITION_H
#define TESSEL_LIVEPOSITION_H

#include "Follow.h"
#include "GpsAddress.h"
#include "GpsStatus.h"
#include "PositionMarker.h"
#include "RecordedPoint.h"
#include "Tracks.h"

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class Clock;
class GpsFeed;
class Lang;
class Map;
class Signature;

// The live position in the viewer: the feed from gpsd, following it, the
// marker, the fix state, and the recording drawn as it grows. The program
// calls update() once per frame and draws it over the tracks.
//
// Following stops when the view moved by anything but the fix (a pan, a
// drag, a track's start chosen): update() compares the view with the one
// it left. A new level or package is no move: the fix is put back at the
// centre.
class LivePosition {
public:
    LivePosition();
    ~LivePosition();
    LivePosition(const LivePosition&) = delete;
    LivePosition& operator=(const LivePosition&) = delete;

    // Starts the feed from `address` (none for "off"), recording into
    // `tracksDir` when `record`. `threaded`: the feed's own thread;
    // otherwise step() works it. A running feed is stopped first.
    void start(const GpsAddress& address, const std::string& tracksDir, bool record, Clock* clock,
               bool threaded = true);
    // Runs on the feed's thread when its status changes (set before start()).
    std::function<void()> onChange;
    // Stops the feed (a recording is closed); the marker goes.
    void stop();
    bool on() const { return feed != nullptr; }
    void step(int timeoutMs);
    // The position reports the feed took so far (update() may not have
    // seen them yet).
    unsigned long reportsTaken() const;

    // Takes the feed's news: the map centres on a new fix while following,
    // the recording's line grows. Returns, once, why the recording stopped
    // by itself; empty otherwise.
    std::string update(Map* map);
    // The key F or the toolbar icon: centre on the fix and follow it again.
    void resume(Map* map);
    void setRecording(bool on);
    bool recording() const { return recordWish; }
    // True while the followed fix is drawn at the view's centre (not when
    // the view stopped at the data's edge short of it): the centre cross
    // would hide it.
    bool fixAtCentre(const Map& map) const;
    // While the followed fix is at the centre: its position, for the
    // position overlay.
    bool followedPosition(const Map& map, double* lon, double* lat) const;
    // "No gpsd", "No fix", "3D fix (7)" in the interface's language; "Off"
    // without a feed.
    std::string stateText(Lang* lang) const;

    // Over the map: the recording's line and the marker.
    void drawOnMap(SDL_Surface* screen, const Map& map);
    // The fix state, and whether the view follows a fix.
    void drawIndicator(SDL_Surface* screen);
    // What drawOnMap() would draw now (its fingerprint) and where: the
    // marker and the points added by the last update().
    SDL_Rect signMap(Signature* signature, const Map& map) const;
    void signIndicator(Signature* signature) const;

    // A fix with no report for this long is shown as lost: the marker
    // greyed at its last place, the indicator red.
    static const std::uint32_t staleMs = 5000;

    // The tick at which the fix shown turns stale; false when none will.
    bool staleAt(std::uint32_t* due) const;

    GpsStatus status;
    bool stale = false;
    Follow follow;
    // The recording being made, as one track.
    Tracks recordingLine;

private:
    // Where the view is: which package, level and centre.
    struct View {
        const void* package = nullptr;
        int z = -1;
        double x = 0, y = 0;
        bool operator==(const View& o) const { return package == o.package && z == o.z && x == o.x && y == o.y; }
    };
    static View viewOf(const Map& map);
    bool notFollowing() const;
    void centre(Map* map) const;
    void grow(const std::vector<RecordedPoint>& points);

    std::unique_ptr<GpsFeed> feed;
    Clock* clock = nullptr;
    std::uint32_t lastReportAt = 0;
    PositionMarker marker;
    View left; // the view as update() left it
    bool recordWish = false;
    std::string shownPath; // the recording recordingLine holds
    unsigned long recordedPoints = 0;
    // The points the last update() added, and the one before them: the
    // part of the line that changed.
    std::vector<LonLat> fresh;
};

#endif
