#include "Menu.h"

#include "Effects.h"
#include "FPS.h"
#include "Image.h"
#include "Rects.h"
#include "Signature.h"

#include <algorithm>
#include <cstdio>

namespace {

const int rollPause = 500;
const int rollSpeed = 25;

// A box centred horizontally in `box` for an image of width w and height h.
SDL_Rect centredIn(const SDL_Rect& box, SDL_Surface* image, int y)
{
    const int w = image ? image->w : 0;
    const int h = image ? image->h : 0;
    return SDL_Rect{static_cast<Sint16>(box.x + (box.w - w) / 2), static_cast<Sint16>(y), static_cast<Uint16>(w),
                    static_cast<Uint16>(h)};
}

} // namespace

Menu::~Menu()
{
    for (SDL_Surface** image :
         {&background, &scrollTopImage, &scrollBottomImage, &scrollTrackImage, &scrollSliderImage})
        Image::release(image);
}

void Menu::create(SDL_Surface* target, SDL_Rect box, int align, TTF_Font* lineFont, SDL_Color normal,
                  SDL_Color selected, SDL_Color disabled, SDL_Color selectedDisabled)
{
    if (!TTF_WasInit())
        TTF_Init();
    surface = target;
    itemBox = box;
    defaultAlign = align;
    font = lineFont;
    normalColor = normal;
    selectedColor = selected;
    disabledColor = disabled;
    selectedDisabledColor = selectedDisabled;
    current = 0;
    headingRollOffset = itemRollOffset = Effects::rollRestart;
    headingRollTimer = itemRollTimer = 0;
    headingOn = false;
    visible = true;
    lineSkip = font ? std::max(1, TTF_FontLineSkip(font)) : 1;
    visibleRows = itemBox.h / lineSkip;
}

void Menu::heading(SDL_Rect box, int align, TTF_Font* titleFont, SDL_Color color)
{
    headingBox = box;
    headingAlign = align;
    headingFont = titleFont;
    headingColor = color;
    headingOn = true;
}

void Menu::scrollbar(SDL_Rect box, std::string top, std::string bottom, std::string track, std::string slider)
{
    scrollTopImage = Image::loadAlpha(top);
    scrollBottomImage = Image::loadAlpha(bottom);
    scrollTrackImage = Image::loadAlpha(track);
    scrollSliderImage = Image::loadAlpha(slider);
    const int trackH = scrollTrackImage ? scrollTrackImage->h : 0;
    trackBox = centredIn(box, scrollTrackImage, box.y + (box.h - trackH) / 2);
    topBox = centredIn(box, scrollTopImage, box.y);
    bottomBox = centredIn(box, scrollBottomImage, box.y + box.h - (scrollBottomImage ? scrollBottomImage->h : 0));
    sliderBox = centredIn(box, scrollSliderImage, trackBox.y);
    scrollbarOn = true;
}

void Menu::loadBackground(SDL_Rect box, std::string file)
{
    backgroundBox = box;
    Image::release(&background);
    background = Image::loadAlpha(file);
    backgroundOn = true;
}

int Menu::createMenu(std::string title, int parentMenu, int align)
{
    SubMenu m;
    m.title = headingOn ? title : std::string();
    m.align = align == 0 ? defaultAlign : align;
    m.parentMenu = parentMenu;
    menus.push_back(m);
    resetWindows();
    return static_cast<int>(menus.size()) - 1;
}

int Menu::createOptionsMenu(std::string title, int labelWidth, int valueWidth, int parentMenu, int align)
{
    const int index = createMenu(title, parentMenu, align);
    SubMenu& m = menus[static_cast<std::size_t>(index)];
    m.type = SubMenu::options;
    m.labelWidth = labelWidth;
    m.valueWidth = valueWidth;
    return index;
}

int Menu::addItem(int menu, int id, std::string text, bool disabled)
{
    SubMenu& m = menus[static_cast<std::size_t>(menu)];
    MenuItem item;
    item.text = text;
    item.id = id;
    item.disabled = disabled;
    m.items.push_back(item);
    const int spare = itemBox.h - lineSkip * m.size();
    // Here the bottom flag wins over the centre flag.
    if (m.align & Effects::alignBottom)
        m.firstRowY = std::max(spare, 0);
    else if (m.align & Effects::alignMiddle)
        m.firstRowY = std::max(spare / 2, 0);
    resetWindows();
    return m.size() - 1;
}

void Menu::clearMenu(int menu)
{
    if (menu == current)
        current = 0;
    menus[static_cast<std::size_t>(menu)].items.clear();
    resetWindows();
}

bool Menu::validItem(int menu, int item) const
{
    return menu >= 0 && menu < static_cast<int>(menus.size()) && item >= 0 &&
           item < menus[static_cast<std::size_t>(menu)].size();
}

bool Menu::disableItem(int menu, int item)
{
    if (!validItem(menu, item))
        return false;
    menus[static_cast<std::size_t>(menu)].items[static_cast<std::size_t>(item)].disabled = true;
    return true;
}

bool Menu::activateItem(int menu, int item)
{
    if (!validItem(menu, item))
        return false;
    menus[static_cast<std::size_t>(menu)].items[static_cast<std::size_t>(item)].disabled = false;
    return true;
}

void Menu::changeValue(int menu, int item, std::string value)
{
    if (validItem(menu, item))
        menus[static_cast<std::size_t>(menu)].items[static_cast<std::size_t>(item)].value = value;
}

void Menu::changeValue(int menu, int item, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    changeValue(menu, item, std::string(text));
}

void Menu::windowAtTop(SubMenu* m) const
{
    m->selected = m->firstVisible = 0;
    m->lastVisible = std::min(m->size(), visibleRows);
}

void Menu::windowAtBottom(SubMenu* m) const
{
    m->selected = m->size() - 1;
    m->lastVisible = m->size();
    m->firstVisible = std::max(m->size() - visibleRows, 0);
}

void Menu::resetWindows()
{
    for (SubMenu& m : menus)
        windowAtTop(&m);
}

bool Menu::moveDown()
{
    if (menus.empty() || page().items.empty())
        return false;
    SubMenu& m = page();
    itemRollOffset = Effects::rollRestart;
    if (m.selected == m.size() - 1) {
        windowAtTop(&m);
        return false;
    }
    // The selection walks to the middle row, then the window scrolls under it.
    if (m.lastVisible != m.size() && m.selected == m.firstVisible + visibleRows / 2) {
        ++m.firstVisible;
        ++m.lastVisible;
    }
    ++m.selected;
    return true;
}

bool Menu::moveUp()
{
    if (menus.empty() || page().items.empty())
        return false;
    SubMenu& m = page();
    itemRollOffset = Effects::rollRestart;
    if (m.selected == 0) {
        windowAtBottom(&m);
        return false;
    }
    if (m.firstVisible != 0 && m.selected == m.firstVisible + visibleRows / 2) {
        --m.firstVisible;
        --m.lastVisible;
    }
    --m.selected;
    return true;
}

bool Menu::scrollDown()
{
    if (menus.empty() || page().items.empty())
        return false;
    for (int step = 0; step < visibleRows - 1; ++step) {
        if (page().selected == page().size() - 1)
            return false;
        moveDown();
    }
    return true;
}

bool Menu::scrollUp()
{
    if (menus.empty() || page().items.empty())
        return false;
    for (int step = 0; step < visibleRows - 1; ++step) {
        if (page().selected == 0)
            return false;
        moveUp();
    }
    return true;
}

int Menu::select()
{
    if (menus.empty() || page().items.empty())
        return -1;
    const MenuItem& item = page().items[static_cast<std::size_t>(page().selected)];
    if (item.disabled)
        return -1;
    const int up = page().parentMenu;
    if (up >= 0 && up < static_cast<int>(menus.size())) {
        SubMenu& parentPage = menus[static_cast<std::size_t>(up)];
        if (parentPage.type == SubMenu::options && !parentPage.items.empty())
            parentPage.items[static_cast<std::size_t>(parentPage.selected)].value = item.text;
    }
    return item.id;
}

bool Menu::parent()
{
    if (current == 0 || menus.empty())
        return false;
    const int up = page().parentMenu;
    if (up < 0 || up >= static_cast<int>(menus.size()))
        return false;
    current = up;
    return true;
}

bool Menu::switchMenu(int menu)
{
    if (menu < 0 || menu >= static_cast<int>(menus.size()))
        return false;
    current = menu;
    headingRollOffset = itemRollOffset = Effects::rollRestart;
    return true;
}

void Menu::draw(FPS* fps, bool blended)
{
    if (!visible || menus.empty())
        return;
    SubMenu& m = page();
    if (backgroundOn)
        Image::drawAt(background, surface, backgroundBox.x, backgroundBox.y);
    if (headingOn) {
        SDL_Rect source;
        SDL_Rect box = headingBox;
        Effects::alignTextWithRolling(headingAlign, headingFont, m.title, &source, &box, fps, &headingRollTimer,
                                      &headingRollOffset, rollPause, rollSpeed);
        Effects::blitText(surface, headingFont, m.title, headingColor, blended, &source, &box);
    }
    if (scrollbarOn)
        drawScrollbar(m);
    drawLines(fps, blended, m);
}

void Menu::drawScrollbar(const SubMenu& m)
{
    Image::drawAt(scrollTrackImage, surface, trackBox.x, trackBox.y);
    if (m.firstVisible != 0)
        Image::drawAt(scrollTopImage, surface, topBox.x, topBox.y);
    if (m.lastVisible != m.size())
        Image::drawAt(scrollBottomImage, surface, bottomBox.x, bottomBox.y);
    if (m.items.empty())
        return;
    const int travel = trackBox.h - sliderBox.h;
    sliderBox.y = static_cast<Sint16>(trackBox.y + (m.size() == 1 ? travel / 2 : travel * m.selected / (m.size() - 1)));
    Image::drawAt(scrollSliderImage, surface, sliderBox.x, sliderBox.y);
}

void Menu::drawLines(FPS* fps, bool blended, SubMenu& m)
{
    const int horizontal = m.align & Effects::horizontalMask;
    const bool options = m.type == SubMenu::options;
    for (int i = m.firstVisible; i < m.lastVisible; ++i) {
        const MenuItem& item = m.items[static_cast<std::size_t>(i)];
        const bool isSelected = i == m.selected;
        const SDL_Color color = isSelected ? (item.disabled ? selectedDisabledColor : selectedColor)
                                           : (item.disabled ? disabledColor : normalColor);
        const int y = itemBox.y + m.firstRowY + (i - m.firstVisible) * lineSkip;
        SDL_Rect source;
        SDL_Rect box{itemBox.x, static_cast<Sint16>(y), static_cast<Uint16>(options ? m.labelWidth : itemBox.w),
                     static_cast<Uint16>(2 * lineSkip)};
        if (isSelected)
            Effects::alignTextWithRolling(horizontal, font, item.text, &source, &box, fps, &itemRollTimer,
                                          &itemRollOffset, rollPause, rollSpeed);
        else
            Effects::alignText(horizontal, font, item.text, &source, &box);
        Effects::blitText(surface, font, item.text, color, blended, &source, &box);
        if (!options)
            continue;
        SDL_Rect valueBox{static_cast<Sint16>(itemBox.x + itemBox.w - m.valueWidth), static_cast<Sint16>(y),
                          static_cast<Uint16>(m.valueWidth), static_cast<Uint16>(2 * lineSkip)};
        Effects::alignText(horizontal, font, item.value, &source, &valueBox);
        Effects::blitText(surface, font, item.value, color, blended, &source, &valueBox);
    }
}

bool Menu::click(int x, int y, int* result)
{
    if (!visible || !inArea(x, y) || menus.empty())
        return false;
    SubMenu& m = page();
    if (headingOn && inside(headingBox, x, y)) {
        *result = resultSpecial;
        return true;
    }
    const int linesTop = itemBox.y + m.firstRowY;
    const SDL_Rect lines{itemBox.x, static_cast<Sint16>(linesTop), itemBox.w,
                         static_cast<Uint16>(lineSkip * std::min(m.size(), visibleRows))};
    if (inside(lines, x, y)) {
        m.selected = m.firstVisible + (y - linesTop) / lineSkip;
        if (result)
            *result = select();
        return true;
    }
    if (scrollbarOn && inside(topBox, x, y) && m.firstVisible != 0) {
        scrollUp();
        return true;
    }
    if (scrollbarOn && inside(bottomBox, x, y) && m.lastVisible != m.size()) {
        scrollDown();
        return true;
    }
    if (scrollbarOn && inside(trackBox, x, y))
        touchTrack(y);
    // Any other point on the menu is taken too: it lies on the menu's own
    // background and must not reach the map below.
    return true;
}

// Steps the selection line by line to the line at the touched height, so
// that the window follows as with the keys.
void Menu::touchTrack(int y)
{
    SubMenu& m = page();
    if (m.size() <= 1 || trackBox.h == 0)
        return;
    const int target = static_cast<int>(static_cast<unsigned>(m.size()) * static_cast<unsigned>(y - trackBox.y) /
                                        trackBox.h);
    while (m.selected < target && moveDown()) {
    }
    while (m.selected > target && moveUp()) {
    }
}

void Menu::sign(Signature* look) const
{
    look->add(static_cast<std::uint64_t>(visible));
    if (!visible || menus.empty())
        return;
    const SubMenu& m = menus[static_cast<std::size_t>(current)];
    look->add(static_cast<std::uint64_t>(current));
    look->add(static_cast<std::uint64_t>(m.selected));
    look->add(static_cast<std::uint64_t>(m.firstVisible));
    look->add(static_cast<std::uint64_t>(m.lastVisible));
    look->add(m.title);
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
    return visible && headingOn && !menus.empty() &&
           widerThan(headingFont, menus[static_cast<std::size_t>(current)].title, headingBox.w);
}

bool Menu::lineRolling() const
{
    if (!visible || menus.empty())
        return false;
    const SubMenu& m = menus[static_cast<std::size_t>(current)];
    if (m.selected < 0 || m.selected >= m.size())
        return false;
    return widerThan(font, m.items[static_cast<std::size_t>(m.selected)].text, selectedLineBox().w);
}

SDL_Rect Menu::selectedLineBox() const
{
    const SubMenu& m = menus[static_cast<std::size_t>(current)];
    const int y = itemBox.y + m.firstRowY + (m.selected - m.firstVisible) * lineSkip;
    return SDL_Rect{itemBox.x, static_cast<Sint16>(y),
                    static_cast<Uint16>(m.type == SubMenu::options ? m.labelWidth : itemBox.w),
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
    for (const SubMenu& m : menus)
        all = unite(all, SDL_Rect{itemBox.x, static_cast<Sint16>(itemBox.y + m.firstRowY), itemBox.w,
                                  static_cast<Uint16>((visibleRows + 1) * lineSkip)});
    const SDL_Rect parts[] = {trackBox, topBox, bottomBox};
    SDL_Surface* const images[] = {scrollTrackImage, scrollTopImage, scrollBottomImage};
    for (int i = 0; i < 3; ++i)
        if (images[i])
            all = unite(all, SDL_Rect{parts[i].x, parts[i].y, static_cast<Uint16>(images[i]->w),
                                      static_cast<Uint16>(images[i]->h)});
    if (scrollSliderImage)
        all = unite(all, SDL_Rect{sliderBox.x, trackBox.y, static_cast<Uint16>(scrollSliderImage->w),
                                  static_cast<Uint16>(trackBox.h + scrollSliderImage->h)});
    return all;
}
