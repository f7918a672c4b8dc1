#ifndef TESSEL_MENU_H
#define TESSEL_MENU_H

#include "Effects.h"
#include "MenuModel.h"
#include "MenuScrollbar.h"
#include "Mouse.h"
#include "TextStyle.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>

class FPS;

// The menu widget: the pages of its `model` shown one at a time in a fixed
// box, with an optional background, heading and scrollbar. Lines too wide
// for their box roll sideways.
class Menu : public Mouse {
public:
    Menu() = default;
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // Lines in `lineBox`, as many rows as fit; `align` is the pages' default.
    void create(SDL_Surface* surface, SDL_Rect lineBox, int align, TTF_Font* font, LineColours colours);
    void heading(SDL_Rect box, TextStyle style);
    void scrollbar(SDL_Rect box, std::string top, std::string bottom, std::string track, std::string slider)
    {
        bar.load(box, top, bottom, track, slider);
    }
    void loadBackground(SDL_Rect box, std::string file);

    void draw(FPS* fps, bool blended);
    // What the menu would draw, but the rolling of the heading and the
    // selected line.
    void sign(class Signature* look) const;
    // True while the page's title (or the selected line) is wider than its
    // box and rolls.
    bool headingRolling() const;
    bool lineRolling() const;
    // True while the selected line's value (options pages) is wider than
    // its column and rolls.
    bool valueRolling() const;
    // The box of the selected line's text, and of its value.
    SDL_Rect selectedLineBox() const;
    SDL_Rect selectedValueBox() const;
    // The height of a page's first line in the line box (by its vertical
    // align flags: here the bottom flag wins over the middle one).
    int firstRowY(const MenuPage& m) const;
    // Everything the menu draws lies inside this.
    SDL_Rect extent() const;
    // -2: the heading was touched (go back); otherwise a line's select().
    bool click(int x, int y, int* result) override;

    MenuModel model;
    MenuScrollbar bar;
    SDL_Surface* surface = nullptr;
    int lineSkip = 1;
    int visibleRows = 0;
    Effects::Rolling headingRoll;
    Effects::Rolling lineRoll;
    Effects::Rolling valueRoll;
    bool headingOn = false;
    bool backgroundOn = false;
    bool visible = false;
    TTF_Font* font = nullptr;
    LineColours colours;
    TextStyle headingStyle;
    SDL_Surface* background = nullptr;
    SDL_Rect headingBox{0, 0, 0, 0};
    SDL_Rect itemBox{0, 0, 0, 0};
    SDL_Rect backgroundBox{0, 0, 0, 0};

private:
    // Rolling starts again from the beginning for a new page or line.
    void restartRollingOnChange();
    void drawLines(FPS* fps, bool blended, const MenuPage& m);
    void touchTrack(int y);

    int shownPage = -1, shownLine = -1;
};

#endif
