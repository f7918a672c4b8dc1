#ifndef TESSEL_MENUPAGE_H
#define TESSEL_MENUPAGE_H

#include <string>
#include <vector>

// One line of a page.
struct MenuItem {
    std::string text;
    std::string value; // the value column of options pages
    int id = 0;        // what MenuModel::select() returns
    bool disabled = false;
};

// One page. The selection and the visible window are positions in `items`
// (a window [firstVisible, lastVisible) with firstVisible <= selected).
struct MenuPage {
    enum { plain = 0, options = 1 };
    int type = plain;
    int selected = 0;
    std::string title;
    std::vector<MenuItem> items;
    int align = 0; // Effects::Align flags of the lines
    int parentMenu = -1;
    int labelWidth = 0;
    int valueWidth = 0;
    int firstVisible = 0;
    int lastVisible = 0;

    int size() const { return static_cast<int>(items.size()); }
};

#endif
