#include "ToolBar.h"

#include "Effects.h"
#include "Image.h"
#include "Rects.h"
#include "Signature.h"

#include <algorithm>

ToolBar::ToolBar(SDL_Surface* surface) : surface(surface) {}

ToolBar::~ToolBar()
{
    for (ToolBarIcon& icon : icons) {
        Image::release(&icon.image);
        Image::release(&icon.disabledImage);
        Image::release(&icon.activeImage);
    }
    for (ToolBarImage& image : images)
        Image::release(&image.image);
}

void ToolBar::setIconText(SDL_Rect box, int align, TTF_Font* font, SDL_Color color)
{
    iconTextBox = box;
    iconTextAlign = align;
    iconTextFont = font;
    iconTextColor = color;
}

int ToolBar::addImage(SDL_Rect box, std::string file)
{
    SDL_Surface* image = Image::loadAlpha(file);
    if (!image)
        return -1;
    images.push_back(ToolBarImage{box, image});
    return static_cast<int>(images.size()) - 1;
}

int ToolBar::addIcon(SDL_Rect box, int column, int row, int id, std::string image, std::string disabledImage,
                     std::string activeImage, std::string text, bool disabled)
{
    ToolBarIcon icon;
    icon.image = Image::loadAlpha(image);
    icon.disabledImage = Image::loadAlpha(disabledImage);
    icon.activeImage = Image::loadAlpha(activeImage);
    icon.text = text;
    icon.box = box;
    icon.column = column;
    icon.row = row;
    icon.id = id;
    icon.disabled = disabled;
    icon.addOrder = static_cast<int>(icons.size());
    icons.push_back(icon);
    std::stable_sort(icons.begin(), icons.end(), iconSort);
    // The first selection is the first icon that can act.
    const auto enabled = std::find_if(icons.begin(), icons.end(), [](const ToolBarIcon& i) { return !i.disabled; });
    selected = enabled == icons.end() ? 0 : static_cast<int>(enabled - icons.begin());
    return icon.addOrder;
}

bool ToolBar::iconSort(const ToolBarIcon& a, const ToolBarIcon& b)
{
    return a.row < b.row || (a.row == b.row && a.column < b.column);
}

std::vector<ToolBarIcon>::iterator ToolBar::findIcon(int addOrder)
{
    return std::find_if(icons.begin(), icons.end(), [addOrder](const ToolBarIcon& i) { return i.addOrder == addOrder; });
}

int ToolBar::addText(SDL_Rect box, int align, TTF_Font* font, SDL_Color color, std::string text)
{
    texts.push_back(ToolBarText{box, align, font, color, text});
    return static_cast<int>(texts.size()) - 1;
}

bool ToolBar::changeText(int index, std::string text)
{
    if (index < 0 || index >= static_cast<int>(texts.size()))
        return false;
    texts[static_cast<std::size_t>(index)].text = text;
    return true;
}

bool ToolBar::changeImage(int index, std::string file)
{
    if (index < 0 || index >= static_cast<int>(images.size()))
        return false;
    SDL_Surface* image = Image::loadAlpha(file);
    if (!image)
        return false;
    Image::release(&images[static_cast<std::size_t>(index)].image);
    images[static_cast<std::size_t>(index)].image = image;
    return true;
}

ToolBarIcon* ToolBar::selectedIcon()
{
    return selected < 0 ? nullptr : &icons[static_cast<std::size_t>(selected)];
}

// Steps through the sorted icons (wrapping) to the next one in the same row
// (or column); a lone icon finds itself again.
int ToolBar::step(int direction, bool alongRow)
{
    if (icons.empty())
        return -1;
    const int count = static_cast<int>(icons.size());
    const ToolBarIcon& from = icons[static_cast<std::size_t>(selected)];
    int next = selected;
    do {
        next = (next + direction + count) % count;
        const ToolBarIcon& candidate = icons[static_cast<std::size_t>(next)];
        if (alongRow ? candidate.row == from.row : candidate.column == from.column)
            break;
    } while (next != selected);
    if (next != selected) {
        selected = next;
        iconTextRoll.restart();
    }
    return icons[static_cast<std::size_t>(selected)].addOrder;
}

int ToolBar::moveRight()
{
    return step(1, true);
}

int ToolBar::moveLeft()
{
    return step(-1, true);
}

int ToolBar::moveDown()
{
    return step(1, false);
}

int ToolBar::moveUp()
{
    return step(-1, false);
}

bool ToolBar::click(int x, int y, int* result)
{
    if (!visible || !inArea(x, y))
        return false;
    for (std::size_t i = 0; i < icons.size(); ++i) {
        if (!icons[i].disabled && inside(icons[i].box, x, y)) {
            selected = static_cast<int>(i);
            if (result)
                *result = icons[i].id;
            break;
        }
    }
    return true;
}

void ToolBar::draw(FPS* fps, bool blended)
{
    if (!visible)
        return;
    for (const ToolBarImage& image : images)
        Image::drawAt(image.image, surface, image.box.x, image.box.y);
    for (std::size_t i = 0; i < icons.size(); ++i)
        drawIcon(fps, blended, static_cast<int>(i));
    for (const ToolBarText& line : texts) {
        SDL_Rect source;
        SDL_Rect box = line.box;
        Effects::alignText(line.align, line.font, line.text, &source, &box);
        Effects::blitText(surface, line.font, line.text, line.color, blended, &source, &box);
    }
}

void ToolBar::drawIcon(FPS* fps, bool blended, int position)
{
    ToolBarIcon& icon = icons[static_cast<std::size_t>(position)];
    if (position != selected) {
        Image::drawAt(icon.disabled ? icon.disabledImage : icon.image, surface, icon.box.x, icon.box.y);
        return;
    }
    Image::drawAt(icon.activeImage, surface, icon.box.x, icon.box.y);
    if (!iconTextFont || icon.text.empty())
        return;
    SDL_Rect source;
    SDL_Rect box = iconTextBox;
    Effects::alignTextWithRolling(iconTextAlign, iconTextFont, icon.text, &source, &box, fps, &iconTextRoll);
    Effects::blitText(surface, iconTextFont, icon.text, iconTextColor, blended, &source, &box);
}

void ToolBar::sign(Signature* look) const
{
    look->add(static_cast<std::uint64_t>(visible));
    look->add(static_cast<std::uint64_t>(selected));
    std::uint64_t disabled = 0;
    for (std::size_t i = 0; i < icons.size(); ++i)
        disabled = disabled * 2 + (icons[i].disabled ? 1 : 0);
    look->add(disabled);
    if (selected >= 0) // only the selected icon's name is drawn
        look->add(icons[static_cast<std::size_t>(selected)].text);
    for (const ToolBarImage& image : images)
        look->add(image.image);
    for (const ToolBarText& line : texts)
        look->add(line.text);
}

bool ToolBar::rolling() const
{
    if (!visible || selected < 0 || !iconTextFont)
        return false;
    int w, h;
    Effects::measureText(iconTextFont, icons[static_cast<std::size_t>(selected)].text, &w, &h);
    return w > iconTextBox.w;
}

SDL_Rect ToolBar::extent() const
{
    SDL_Rect all = unite(area, iconTextBox);
    for (const ToolBarImage& image : images)
        all = unite(all, image.image ? SDL_Rect{image.box.x, image.box.y, static_cast<Uint16>(image.image->w),
                                                static_cast<Uint16>(image.image->h)}
                                     : image.box);
    for (const ToolBarIcon& icon : icons)
        for (SDL_Surface* look : {icon.image, icon.disabledImage, icon.activeImage})
            if (look)
                all = unite(all, SDL_Rect{icon.box.x, icon.box.y, static_cast<Uint16>(look->w), static_cast<Uint16>(look->h)});
    for (const ToolBarText& line : texts)
        all = unite(all, line.box);
    return all;
}
