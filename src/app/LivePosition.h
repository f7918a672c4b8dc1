#ifndef TESSEL_LIVEPOSITION_H
#define TESSEL_LIVEPOSITION_H

#include "Follow.h"
#include "GpsAddress.h"
#include "GpsStatus.h"
#include "PositionMarker.h"
#include "RecordedPoint.h"
#include "Tracks.h"

#include <SDL.h>
#include <memory>
#include <string>

class Clock;
class GpsFeed;
class Lang;
class Map;
class Signature;

// The live position in the viewer: the feed from gpsd, following it, the
// marker, the fix state, and the recording drawn as it grows. The program
// calls update() once per frame, tells it when the user moved the view or
// asked to follow again, and draws it over the tracks.
class LivePosition {
public:
    LivePosition();
    ~LivePosition();
    LivePosition(const LivePosition&) = delete;
    LivePosition& operator=(const LivePosition&) = delete;

    // Repairs cut recordings in `tracksDir`, then starts the feed (none for
    // "off"). `threaded`: the feed's own thread; otherwise step() works it.
    void start(const GpsAddress& address, const std::string& tracksDir, bool record, Clock* clock,
               bool threaded = true);
    bool on() const { return feed != nullptr; }
    void step(int timeoutMs);

    // Takes the feed's news: the map centres on a new fix while following,
    // the recording's line grows. Returns, once, why the recording stopped
    // by itself; empty otherwise.
    std::string update(Map* map);
    // The user panned or dragged.
    void userMoved() { follow.userMoved(); }
    // The key F or the toolbar icon: centre on the fix and follow it again.
    void resume(Map* map);
    // The level changed: the fix stays at the centre while following.
    void zoomed(Map* map);
    void setRecording(bool on);
    bool recording() const { return recordWish; }
    // While following a fix: its position, for the position overlay.
    bool followedPosition(double* lon, double* lat) const;
    // "no gpsd", "no fix", "2D fix, 7 satellites" in the interface's
    // language; empty when off.
    std::string stateText(Lang* lang) const;

    // Over the map: the recording's line and the marker.
    void drawOnMap(SDL_Surface* screen, const Map& map);
    void drawIndicator(SDL_Surface* screen) const { PositionMarker::drawIndicator(screen, status); }
    // What drawOnMap() and drawIndicator() would draw.
    void signMap(Signature* signature, const Map& map) const;
    void signIndicator(Signature* signature) const;

    GpsStatus status;
    Follow follow;
    // The recording being made, as one track.
    Tracks recordingLine;

private:
    void centre(Map* map) const;
    void grow(const std::vector<RecordedPoint>& points);

    std::unique_ptr<GpsFeed> feed;
    bool recordWish = false;
    std::string shownPath; // the recording recordingLine holds
    unsigned long recordedPoints = 0;
};

#endif
