#ifndef TESSEL_SCREENDAMAGE_H
#define TESSEL_SCREENDAMAGE_H

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <vector>

class Battery;
class FiguresScreen;
class FPS;
class LivePosition;
class Map;
class MapUI;
class Menu;
class Notification;
class RouteControls;
class Signature;
class ToolBar;
class Tracks;
struct Settings;

// Which parts of the screen must be drawn again. Every part (the map, the
// toolbar, its rolling name, the menu, its rolling heading and line, the
// battery, the frame rate, the notification, the centre cross, the live
// position's marker and new points, its indicator, the followed fix's
// coordinates) has a box and
// a fingerprint of what it shows; a part is damaged when its fingerprint
// differs from the one last shown, or when time is due to change it (a
// rolling text, the battery's next step, the notification's end, the next
// frame-rate reading). A frame in which nothing is damaged draws nothing.
class ScreenDamage {
public:
    struct Parts {
        SDL_Surface* screen;
        const Map* map;
        const ToolBar* toolBar;
        const Menu* menu;
        const Battery* battery;
        const FPS* fps;
        const Notification* notification;
        const MapUI* mapUI;
        const Settings* options;
        const Tracks* tracks;
        const LivePosition* live;
        const RouteControls* route;
        const FiguresScreen* figures;
    };

    explicit ScreenDamage(const Parts& parts) : parts(parts) {}

    // Parts that sign themselves, drawn over the whole screen's box (the
    // marks on the map, the search page); added before the first frame.
    struct Extra {
        std::function<void(Signature*)> sign;
    };
    std::vector<Extra> extras;

    // The boxes to draw again now (on the screen, possibly overlapping);
    // the whole screen until a first frame was shown.
    std::vector<SDL_Rect> damaged();
    // After the screen was drawn inside `clip`: the parts wholly inside it
    // are taken as shown.
    void shown(const SDL_Rect& clip);
    // The next frame draws everything.
    void forget() { known = false; }

private:
    struct Region {
        SDL_Rect box;
        std::uint64_t look;
        bool due;
    };
    std::vector<Region> regions() const;
    void addMap(std::vector<Region>* out) const;
    void addWidgets(std::vector<Region>* out) const;
    void addLive(std::vector<Region>* out) const;
    void addRoute(std::vector<Region>* out) const;
    void addFigures(std::vector<Region>* out) const;
    SDL_Rect screenBox() const;

    Parts parts;
    // The toolbar's and the menu's extents, taken again at every full redraw
    // (they change only when images are loaded).
    SDL_Rect toolBarExtent{0, 0, 0, 0};
    SDL_Rect menuExtent{0, 0, 0, 0};
    bool known = false;
    std::vector<Region> last;
};

#endif
