#ifndef TESSEL_FIGURESSCREEN_H
#define TESSEL_FIGURESSCREEN_H

#include "FiguresPage.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <cstddef>

class Lang;
class Map;
class Menu;
class Notification;
class Signature;
class Tracks;

// The figures page of a track on the screen: opened from the Tracks page,
// it closes the menu, brings the file into the map below the panel and
// takes Left and Right (or a touch on the profile) to move the cursor,
// the map following the marker when it would leave the map's part of the
// screen. Escape or Backspace closes it, back to the Tracks page; every
// other input goes on to the map as usual.
class FiguresScreen {
public:
    struct Parts {
        Map* map;
        Menu* menu;
        Tracks* tracks;
        Lang* lang;
        Notification* notification;
    };

    explicit FiguresScreen(const Parts& parts) : parts(parts) {}

    void open(std::size_t file, long long nowMs);
    // True when the event was the page's own.
    bool handle(const SDL_Event& event);
    // Follows a growing recording; closes when the menu came up.
    void update(long long nowMs);
    void drawOnMap(SDL_Surface* screen) const;
    void drawPanel(SDL_Surface* screen, TTF_Font* font, bool blended) const;
    // The panel's and the marker's boxes and looks, for the screen's damage.
    SDL_Rect panelBox() const;
    SDL_Rect markerBox() const;
    void sign(Signature* look) const;

    FiguresPage page;
    int tracksPage = -1; // where Escape goes back to

private:
    void moveCursor(int column, bool absolute);

    Parts parts;
};

#endif
