#ifndef TESSEL_MENUMODEL_H
#define TESSEL_MENUMODEL_H

#include "MenuPage.h"

#include <string>
#include <vector>

// The menu's pages and the way through them, without drawing: which page
// shows, which line is selected, and the window of `rows` lines around it.
// The selection walks to the middle row, then the window scrolls under it.
class MenuModel {
public:
    // Page and line indexes count from 0 in order of creation. A page's
    // align of 0 takes `defaultAlign`.
    int createMenu(std::string title, int parentMenu, int align);
    int createOptionsMenu(std::string title, int labelWidth, int valueWidth, int parentMenu, int align);
    int addItem(int menu, int id, std::string text, bool disabled);
    void clearMenu(int menu);
    bool disableItem(int menu, int item);
    bool activateItem(int menu, int item);
    void changeValue(int menu, int item, std::string value);
    void changeValue(int menu, int item, int value);

    // One line down / up; false when the page is empty or the selection
    // wrapped around to the other end. Disabled lines are passed over (a
    // page of disabled lines only keeps its place), here and below.
    bool next();
    bool previous();
    // Up to rows - 1 lines without wrapping; false when stopped at the end.
    bool pageDown();
    bool pageUp();
    // The first / last enabled line selected, the window at that end.
    void first();
    void last();
    // Selects line `line` of the visible window; false when there is none.
    bool pick(int line);
    // The selected line's id (-1 for none or a disabled line); a page whose
    // parent is an options page copies the line's text into the parent's
    // selected value.
    int select();
    // To the current page's parent (never from page 0); false without one.
    bool parent();
    bool switchMenu(int menu);

    bool empty() const { return pages.empty(); }
    MenuPage& page() { return pages[static_cast<std::size_t>(current)]; }
    const MenuPage& page() const { return pages[static_cast<std::size_t>(current)]; }

    std::vector<MenuPage> pages;
    int current = 0;
    int rows = 1;
    int defaultAlign = 0;

private:
    bool validItem(int menu, int item) const;
    bool hasLines() const { return !pages.empty() && !page().items.empty(); }
    void windowAtTop(MenuPage* m) const;
    void windowAtBottom(MenuPage* m) const;
    bool stepDown();
    bool stepUp();
    bool onDisabledLine() const;
    void leaveDisabled(bool downFirst);
    void resetWindows();
};

#endif
