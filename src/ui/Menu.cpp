#include "Menu.h"

#include "FPS.h"
#include "Image.h"
#include "Rects.h"
#include "Signature.h"

#include <algorithm>

Menu::~Menu()
{
    Image::release(&background);
}

void Menu::create(SDL_Surface* target, SDL_Rect box, int align, TTF_Font* lineFont, LineColours lineColours)
{
    if (!TTF_WasInit())
        TTF_Init();
    surface = target;
    itemBox = box;
    font = lineFont;
    colours = lineColours;
    model.defaultAlign = align;
    model.current = 0;
    headingRoll = lineRoll = Effects::Rolling();
    headingOn = false;
    visible = true;
    lineSkip = font ? std::max(1, TTF_FontLineSkip(font)) : 1;
    visibleRows = itemBox.h / lineSkip;
    model.rows = visibleRows;
}

void Menu::heading(SDL_Rect box, TextStyle style)
{
    headingBox = box;
    headingStyle = style;
    headingOn = true;
}

void Menu::loadBackground(SDL_Rect box, std::string file)
{
    backgroundBox = box;
    Image::release(&background);
    background = Image::loadAlpha(file);
    backgroundOn = true;
}

int Menu::firstRowY(const MenuPage& m) const
{
    const int spare = itemBox.h - lineSkip * m.size();
    if (m.align & Effects::alignBottom)
        return std::max(spare, 0);
    if (m.align & Effects::alignMiddle)
        return std::max(spare / 2, 0);
    return 0;
}

void Menu::restartRollingOnChange()
{
    if (model.current != shownPage)
        headingRoll.restart();
    if (model.current != shownPage || model.page().selected != shownLine) {
        lineRoll.restart();
        valueRoll.restart();
    }
    shownPage = model.current;
    shownLine = model.page().selected;
}

void Menu::draw(FPS* fps, bool blended)
{
    if (!visible || model.empty())
        return;
    restartRollingOnChange();
    const MenuPage& m = model.page();
    if (backgroundOn)
        Image::drawAt(background, surface, backgroundBox.x, backgroundBox.y);
    if (headingOn) {
        SDL_Rect source;
        SDL_Rect box = headingBox;
        Effects::alignTextWithRolling(headingStyle.align, headingStyle.font, m.title, &source, &box, fps,
                                      &headingRoll);
        Effects::blitText(surface, headingStyle.font, m.title, headingStyle.colour, blended, &source, &box);
    }
    if (bar.on)
        bar.draw(surface, m);
    drawLines(fps, blended, m);
}

void Menu::drawLines(FPS* fps, bool blended, const MenuPage& m)
{
    const int horizontal = m.align & Effects::horizontalMask;
    const bool options = m.type == MenuPage::options;
    const int top = itemBox.y + firstRowY(m);
    for (int i = m.firstVisible; i < m.lastVisible; ++i) {
        const MenuItem& item = m.items[static_cast<std::size_t>(i)];
        const bool isSelected = i == m.selected;
        const SDL_Color color = isSelected ? (item.disabled ? colours.selectedDisabled : colours.selected)
                                           : (item.disabled ? colours.disabled : colours.normal);
        const int y = top + (i - m.firstVisible) * lineSkip;
        SDL_Rect source;
        SDL_Rect box{itemBox.x, static_cast<Sint16>(y), static_cast<Uint16>(options ? m.labelWidth : itemBox.w),
                     static_cast<Uint16>(2 * lineSkip)};
        if (isSelected)
            Effects::alignTextWithRolling(horizontal, font, item.text, &source, &box, fps, &lineRoll);
        else
            Effects::alignText(horizontal, font, item.text, &source, &box);
        Effects::blitText(surface, font, item.text, color, blended, &source, &box);
        if (!options)
            continue;
        SDL_Rect valueBox{static_cast<Sint16>(itemBox.x + itemBox.w - m.valueWidth), static_cast<Sint16>(y),
                          static_cast<Uint16>(m.valueWidth), static_cast<Uint16>(2 * lineSkip)};
        if (isSelected)
            Effects::alignTextWithRolling(horizontal, font, item.value, &source, &valueBox, fps, &valueRoll);
        else
            Effects::alignText(horizontal, font, item.value, &source, &valueBox);
        Effects::blitText(surface, font, item.value, color, blended, &source, &valueBox);
    }
}

bool Menu::click(int x, int y, int* result)
{
    if (!visible || !inArea(x, y) || model.empty())
        return false;
    const MenuPage& m = model.page();
    if (headingOn && inside(headingBox, x, y)) {
        *result = resultSpecial;
        return true;
    }
    const int linesTop = itemBox.y + firstRowY(m);
    const SDL_Rect lines{itemBox.x, static_cast<Sint16>(linesTop), itemBox.w,
                         static_cast<Uint16>(lineSkip * std::min(m.size(), visibleRows))};
    if (inside(lines, x, y)) {
        model.pick((y - linesTop) / lineSkip);
        if (result)
            *result = model.select();
        return true;
    }
    switch (bar.touched(m, x, y)) {
    case MenuScrollbar::up:
        model.pageUp();
        break;
    case MenuScrollbar::down:
        model.pageDown();
        break;
    case MenuScrollbar::track:
        touchTrack(y);
        break;
    case MenuScrollbar::none:
        break;
    }
    // Any other point on the menu is taken too: it lies on the menu's own
    // background and must not reach the map below.
    return true;
}

// Steps the selection line by line to the line at the touched height, so
// that the window follows as with the keys.
void Menu::touchTrack(int y)
{
    const MenuPage& m = model.page();
    if (m.size() <= 1 || bar.trackBox.h == 0)
        return;
    const int target = bar.lineAt(y, m.size());
    while (m.selected < target && model.next()) {
    }
    while (m.selected > target && model.previous()) {
    }
}

void Menu::sign(Signature* look) const
{
    look->add(static_cast<std::uint64_t>(visible));
    if (!visible || model.empty())
        return;
    const MenuPage& m = model.page();
    look->add(static_cast<std::uint64_t>(model.current));
    look->add(static_cast<std::uint64_t>(m.selected));
    look->add(static_cast<std::uint64_t>(m.firstVisible));
    look->add(static_cast<std::uint64_t>(m.lastVisible));
    look->add(headingOn ? m.title : std::string());
    for (int i = m.firstVisible; i < m.lastVisible; ++i) {
        const MenuItem& item = m.items[static_cast<std::size_t>(i)];
        look->add(item.text);
        look->add(item.value);
        look->add(static_cast<std::uint64_t>(item.disabled));
    }
}

namespace {

bool widerThan(TTF_Font* font, const std::string& text, int width)
{
    int w, h;
    Effects::measureText(font, text, &w, &h);
    return w > width;
}

} // namespace

bool Menu::headingRolling() const
{
    return visible && headingOn && !model.empty() && widerThan(headingStyle.font, model.page().title, headingBox.w);
}

bool Menu::lineRolling() const
{
    if (!visible || model.empty())
        return false;
    const MenuPage& m = model.page();
    if (m.selected < 0 || m.selected >= m.size())
        return false;
    return widerThan(font, m.items[static_cast<std::size_t>(m.selected)].text, selectedLineBox().w);
}

bool Menu::valueRolling() const
{
    if (!visible || model.empty())
        return false;
    const MenuPage& m = model.page();
    if (m.type != MenuPage::options || m.selected < 0 || m.selected >= m.size())
        return false;
    return widerThan(font, m.items[static_cast<std::size_t>(m.selected)].value, m.valueWidth);
}

SDL_Rect Menu::selectedValueBox() const
{
    const MenuPage& m = model.page();
    const int y = itemBox.y + firstRowY(m) + (m.selected - m.firstVisible) * lineSkip;
    return SDL_Rect{static_cast<Sint16>(itemBox.x + itemBox.w - m.valueWidth), static_cast<Sint16>(y),
                    static_cast<Uint16>(m.valueWidth), static_cast<Uint16>(2 * lineSkip)};
}

SDL_Rect Menu::selectedLineBox() const
{
    const MenuPage& m = model.page();
    const int y = itemBox.y + firstRowY(m) + (m.selected - m.firstVisible) * lineSkip;
    return SDL_Rect{itemBox.x, static_cast<Sint16>(y),
                    static_cast<Uint16>(m.type == MenuPage::options ? m.labelWidth : itemBox.w),
                    static_cast<Uint16>(2 * lineSkip)};
}

SDL_Rect Menu::extent() const
{
    SDL_Rect all = unite(area, itemBox);
    if (background)
        all = unite(all, SDL_Rect{backgroundBox.x, backgroundBox.y, static_cast<Uint16>(background->w),
                                  static_cast<Uint16>(background->h)});
    if (headingOn)
        all = unite(all, headingBox);
    for (const MenuPage& m : model.pages)
        all = unite(all, SDL_Rect{itemBox.x, static_cast<Sint16>(itemBox.y + firstRowY(m)), itemBox.w,
                                  static_cast<Uint16>((visibleRows + 1) * lineSkip)});
    return bar.extent(all);
}
