#ifndef TESSEL_MENU_H
#define TESSEL_MENU_H

#include "Mouse.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>
#include <vector>

class FPS;

// One line of a page.
struct MenuItem {
    std::string text;
    std::string value; // the value column of options pages
    int id = 0;        // what select() returns
    bool disabled = false;
};

// One page. The selection and the visible window are positions in `items`
// (a window [firstVisible, lastVisible) with firstVisible <= selected).
struct SubMenu {
    enum { plain = 0, options = 1 };
    int type = plain;
    int selected = 0;
    std::string title;
    std::vector<MenuItem> items;
    int align = 0;
    int parentMenu = -1;
    int firstRowY = 0;
    int labelWidth = 0;
    int valueWidth = 0;
    int firstVisible = 0;
    int lastVisible = 0;

    int size() const { return static_cast<int>(items.size()); }
};

// The menu widget: pages of lines shown one at a time in a fixed box, with
// an optional background, heading and scrollbar. Lines too wide for their
// box roll sideways.
class Menu : public Mouse {
public:
    Menu() = default;
    ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    void create(SDL_Surface* surface, SDL_Rect itemBox, int align, TTF_Font* font, SDL_Color normal,
                SDL_Color selected, SDL_Color disabled, SDL_Color selectedDisabled);
    void heading(SDL_Rect box, int align, TTF_Font* font, SDL_Color color);
    // Missing images are not drawn; the scrollbar parts keep their boxes
    // from whichever images loaded.
    void scrollbar(SDL_Rect box, std::string top, std::string bottom, std::string track, std::string slider);
    void loadBackground(SDL_Rect box, std::string file);

    // Page and line indexes count from 0 in order of creation.
    int createMenu(std::string title, int parentMenu, int align);
    int createOptionsMenu(std::string title, int labelWidth, int valueWidth, int parentMenu, int align);
    int addItem(int menu, int id, std::string text, bool disabled);
    void clearMenu(int menu);
    bool disableItem(int menu, int item);
    bool activateItem(int menu, int item);
    void changeValue(int menu, int item, std::string value);
    void changeValue(int menu, int item, int value);

    // False when the page is empty or the selection wrapped around.
    bool moveUp();
    bool moveDown();
    // Up to visibleRows - 1 lines without wrapping; false when stopped at the end.
    bool scrollUp();
    bool scrollDown();
    // The selected line's id (-1 for none or a disabled line); a page whose
    // parent is an options page copies the line's text into the parent's
    // selected value.
    int select();
    bool parent();
    bool switchMenu(int menu);

    void draw(FPS* fps, bool blended);
    // What the menu would draw, but the rolling of the heading and the
    // selected line.
    void sign(class Signature* look) const;
    // True while the page's title (or the selected line) is wider than its
    // box and rolls.
    bool headingRolling() const;
    bool lineRolling() const;
    // The box of the selected line's text.
    SDL_Rect selectedLineBox() const;
    // Everything the menu draws lies inside this.
    SDL_Rect extent() const;
    // -2: the heading was touched (go back); otherwise a line's select().
    bool click(int x, int y, int* result) override;

    SDL_Surface* surface = nullptr;
    std::vector<SubMenu> menus;
    int current = 0;
    int headingAlign = 0;
    int defaultAlign = 0;
    int lineSkip = 1;
    int visibleRows = 0;
    int headingRollOffset = 0x7fffffff;
    int itemRollOffset = 0x7fffffff;
    int headingRollTimer = 0;
    int itemRollTimer = 0;
    bool headingOn = false;
    bool backgroundOn = false;
    bool scrollbarOn = false;
    bool visible = false;
    TTF_Font* font = nullptr;
    TTF_Font* headingFont = nullptr;
    SDL_Color normalColor{0, 0, 0, 0};
    SDL_Color selectedColor{0, 0, 0, 0};
    SDL_Color headingColor{0, 0, 0, 0};
    SDL_Color disabledColor{0, 0, 0, 0};
    SDL_Color selectedDisabledColor{0, 0, 0, 0};
    SDL_Surface* background = nullptr;
    SDL_Rect headingBox{0, 0, 0, 0};
    SDL_Rect itemBox{0, 0, 0, 0};
    SDL_Rect backgroundBox{0, 0, 0, 0};
    SDL_Surface* scrollTopImage = nullptr;
    SDL_Surface* scrollBottomImage = nullptr;
    SDL_Surface* scrollTrackImage = nullptr;
    SDL_Surface* scrollSliderImage = nullptr;
    SDL_Rect trackBox{0, 0, 0, 0};
    SDL_Rect topBox{0, 0, 0, 0};
    SDL_Rect bottomBox{0, 0, 0, 0};
    SDL_Rect sliderBox{0, 0, 0, 0};

private:
    SubMenu& page() { return menus[static_cast<std::size_t>(current)]; }
    bool validItem(int menu, int item) const;
    void resetWindows();
    void windowAtTop(SubMenu* m) const;
    void windowAtBottom(SubMenu* m) const;
    void drawScrollbar(const SubMenu& m);
    void drawLines(FPS* fps, bool blended, SubMenu& m);
    void touchTrack(int y);
};

#endif
