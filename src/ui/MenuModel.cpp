#include "MenuModel.h"

#include <algorithm>
#include <cstdio>

int MenuModel::createMenu(std::string title, int parentMenu, int align)
{
    MenuPage m;
    m.title = title;
    m.align = align == 0 ? defaultAlign : align;
    m.parentMenu = parentMenu;
    pages.push_back(m);
    resetWindows();
    return static_cast<int>(pages.size()) - 1;
}

int MenuModel::createOptionsMenu(std::string title, int labelWidth, int valueWidth, int parentMenu, int align)
{
    const int index = createMenu(title, parentMenu, align);
    MenuPage& m = pages[static_cast<std::size_t>(index)];
    m.type = MenuPage::options;
    m.labelWidth = labelWidth;
    m.valueWidth = valueWidth;
    return index;
}

int MenuModel::addItem(int menu, int id, std::string text, bool disabled)
{
    MenuPage& m = pages[static_cast<std::size_t>(menu)];
    MenuItem item;
    item.text = text;
    item.id = id;
    item.disabled = disabled;
    m.items.push_back(item);
    resetWindows();
    return m.size() - 1;
}

void MenuModel::clearMenu(int menu)
{
    if (menu == current)
        current = 0;
    pages[static_cast<std::size_t>(menu)].items.clear();
    resetWindows();
}

bool MenuModel::validItem(int menu, int item) const
{
    return menu >= 0 && menu < static_cast<int>(pages.size()) && item >= 0 &&
           item < pages[static_cast<std::size_t>(menu)].size();
}

bool MenuModel::disableItem(int menu, int item)
{
    if (!validItem(menu, item))
        return false;
    pages[static_cast<std::size_t>(menu)].items[static_cast<std::size_t>(item)].disabled = true;
    return true;
}

bool MenuModel::activateItem(int menu, int item)
{
    if (!validItem(menu, item))
        return false;
    pages[static_cast<std::size_t>(menu)].items[static_cast<std::size_t>(item)].disabled = false;
    return true;
}

void MenuModel::changeValue(int menu, int item, std::string value)
{
    if (validItem(menu, item))
        pages[static_cast<std::size_t>(menu)].items[static_cast<std::size_t>(item)].value = value;
}

void MenuModel::changeValue(int menu, int item, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    changeValue(menu, item, std::string(text));
}

void MenuModel::windowAtTop(MenuPage* m) const
{
    m->selected = m->firstVisible = 0;
    m->lastVisible = std::min(m->size(), rows);
}

void MenuModel::windowAtBottom(MenuPage* m) const
{
    m->selected = m->size() - 1;
    m->lastVisible = m->size();
    m->firstVisible = std::max(m->size() - rows, 0);
}

void MenuModel::resetWindows()
{
    for (MenuPage& m : pages)
        windowAtTop(&m);
}

void MenuModel::first()
{
    if (!hasLines())
        return;
    windowAtTop(&page());
    leaveDisabled(true);
}

void MenuModel::last()
{
    if (!hasLines())
        return;
    windowAtBottom(&page());
    leaveDisabled(false);
}

bool MenuModel::next()
{
    if (!hasLines())
        return false;
    const int from = page().selected;
    bool unwrapped = stepDown();
    for (int i = 0; onDisabledLine() && page().selected != from && i < page().size(); ++i)
        unwrapped = stepDown() && unwrapped;
    return unwrapped;
}

bool MenuModel::previous()
{
    if (!hasLines())
        return false;
    const int from = page().selected;
    bool unwrapped = stepUp();
    for (int i = 0; onDisabledLine() && page().selected != from && i < page().size(); ++i)
        unwrapped = stepUp() && unwrapped;
    return unwrapped;
}

bool MenuModel::onDisabledLine() const
{
    const MenuPage& m = page();
    return !m.items.empty() && m.items[static_cast<std::size_t>(m.selected)].disabled;
}

// From a disabled line to the nearest enabled one, first in the direction
// given, without wrapping; stays where no line is enabled.
void MenuModel::leaveDisabled(bool downFirst)
{
    const MenuPage& m = page();
    for (bool down : {downFirst, !downFirst}) {
        int line = m.selected;
        while (line >= 0 && line < m.size() && m.items[static_cast<std::size_t>(line)].disabled)
            line += down ? 1 : -1;
        if (line < 0 || line >= m.size())
            continue;
        while (page().selected != line)
            down ? stepDown() : stepUp();
        return;
    }
}

bool MenuModel::stepDown()
{
    if (!hasLines())
        return false;
    MenuPage& m = page();
    if (m.selected == m.size() - 1) {
        windowAtTop(&m);
        return false;
    }
    if (m.lastVisible != m.size() && m.selected == m.firstVisible + rows / 2) {
        ++m.firstVisible;
        ++m.lastVisible;
    }
    ++m.selected;
    return true;
}

bool MenuModel::stepUp()
{
    if (!hasLines())
        return false;
    MenuPage& m = page();
    if (m.selected == 0) {
        windowAtBottom(&m);
        return false;
    }
    if (m.firstVisible != 0 && m.selected == m.firstVisible + rows / 2) {
        --m.firstVisible;
        --m.lastVisible;
    }
    --m.selected;
    return true;
}

bool MenuModel::pageDown()
{
    if (!hasLines())
        return false;
    bool whole = true;
    for (int step = 0; step < rows - 1 && whole; ++step)
        whole = page().selected != page().size() - 1 && stepDown();
    leaveDisabled(true);
    return whole;
}

bool MenuModel::pageUp()
{
    if (!hasLines())
        return false;
    bool whole = true;
    for (int step = 0; step < rows - 1 && whole; ++step)
        whole = page().selected != 0 && stepUp();
    leaveDisabled(false);
    return whole;
}

bool MenuModel::pick(int line)
{
    if (!hasLines() || line < 0 || page().firstVisible + line >= page().lastVisible)
        return false;
    page().selected = page().firstVisible + line;
    return true;
}

int MenuModel::select()
{
    if (!hasLines())
        return -1;
    const MenuItem& item = page().items[static_cast<std::size_t>(page().selected)];
    if (item.disabled)
        return -1;
    const int up = page().parentMenu;
    if (up >= 0 && up < static_cast<int>(pages.size())) {
        MenuPage& parentPage = pages[static_cast<std::size_t>(up)];
        if (parentPage.type == MenuPage::options && !parentPage.items.empty())
            parentPage.items[static_cast<std::size_t>(parentPage.selected)].value = item.text;
    }
    return item.id;
}

bool MenuModel::parent()
{
    if (current == 0 || pages.empty())
        return false;
    const int up = page().parentMenu;
    if (up < 0 || up >= static_cast<int>(pages.size()))
        return false;
    current = up;
    return true;
}

bool MenuModel::switchMenu(int menu)
{
    if (menu < 0 || menu >= static_cast<int>(pages.size()))
        return false;
    current = menu;
    return true;
}
