#ifndef TESSEL_POSITIONMARKER_H
#define TESSEL_POSITIONMARKER_H

#include "AccuracyDisc.h"
#include "Fix.h"
#include "GpsStatus.h"
#include "Sprite.h"

#include <SDL.h>

class Map;
class Signature;

// The fix drawn on the map: a dot with a light rim, around it a circle of
// the reported horizontal accuracy when that is larger than the dot (only
// outlined when large, none when larger than the screen), ahead
// of it an arrow of the course while moving. A fix off the screen (outside
// the package's area, or while the user looks elsewhere) is an arrow at
// the screen's edge pointing to it. A fix gone stale stays where it was,
// grey. And the fix state as a small dot
// beside the battery: hollow grey without gpsd, red without a fix, amber
// for 2D, green for 3D. The dot and its arrow are drawn once per look into
// a sprite, the circle by rows kept per radius.
class PositionMarker {
public:
    static constexpr int radius = 5;
    static constexpr double movingSpeed = 0.5; // metres per second: slower has no course
    static constexpr int courseStep = 5; // degrees the arrow turns by
    static const SDL_Rect indicatorBox;
    // Left of it while a fix is not followed: the toolbar's follow icon may
    // be hidden.
    static const SDL_Rect followOffBox;

    // What would be drawn for `fix` on `map`, in screen pixels.
    struct Look {
        int x = 0, y = 0;
        bool atEdge = false;
        int towards = 0;       // whole degrees clockwise from up: the edge arrow's or the course's way
        bool course = false;   // an arrow of the course
        int accuracyPixels = 0; // 0: no circle
        bool filled = true;     // the circle tinted, not only outlined
        bool stale = false;     // greyed: the fix is old
        // Everything drawn lies inside it.
        SDL_Rect box() const;
    };
    // False when there is nothing to draw (no position, no Web Mercator).
    // A stale fix is greyed, with neither course nor circle.
    static bool look(const Fix& fix, const Map& map, Look* out, bool stale = false);
    void draw(SDL_Surface* screen, const Look& look);
    static void sign(Signature* signature, const Look& look);

    // A stale fix shows as no fix.
    void drawIndicator(SDL_Surface* screen, const GpsStatus& status, bool stale);
    // A small marker struck through: the view does not follow the fix.
    void drawFollowOff(SDL_Surface* screen);

private:
    AccuracyDisc disc;
    Sprite marker;
    int markerKey = -1; // the look the sprite shows
    Sprite indicators[4];
    Sprite followOff;
};

#endif
