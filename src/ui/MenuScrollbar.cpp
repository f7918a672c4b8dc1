#include "MenuScrollbar.h"

#include "Image.h"
#include "Mouse.h"
#include "Rects.h"

namespace {

// A box centred horizontally in `box` for an image of width w and height h.
SDL_Rect centredIn(const SDL_Rect& box, SDL_Surface* image, int y)
{
    const int w = image ? image->w : 0;
    const int h = image ? image->h : 0;
    return SDL_Rect{static_cast<Sint16>(box.x + (box.w - w) / 2), static_cast<Sint16>(y), static_cast<Uint16>(w),
                    static_cast<Uint16>(h)};
}

} // namespace

MenuScrollbar::~MenuScrollbar()
{
    for (SDL_Surface** image : {&topImage, &bottomImage, &trackImage, &sliderImage})
        Image::release(image);
}

void MenuScrollbar::load(SDL_Rect box, std::string top, std::string bottom, std::string track, std::string slider)
{
    topImage = Image::loadAlpha(top);
    bottomImage = Image::loadAlpha(bottom);
    trackImage = Image::loadAlpha(track);
    sliderImage = Image::loadAlpha(slider);
    const int trackH = trackImage ? trackImage->h : 0;
    trackBox = centredIn(box, trackImage, box.y + (box.h - trackH) / 2);
    topBox = centredIn(box, topImage, box.y);
    bottomBox = centredIn(box, bottomImage, box.y + box.h - (bottomImage ? bottomImage->h : 0));
    sliderBox = centredIn(box, sliderImage, trackBox.y);
    on = true;
}

void MenuScrollbar::draw(SDL_Surface* surface, const MenuPage& m)
{
    Image::drawAt(trackImage, surface, trackBox.x, trackBox.y);
    if (m.firstVisible != 0)
        Image::drawAt(topImage, surface, topBox.x, topBox.y);
    if (m.lastVisible != m.size())
        Image::drawAt(bottomImage, surface, bottomBox.x, bottomBox.y);
    if (m.items.empty())
        return;
    const int travel = trackBox.h - sliderBox.h;
    sliderBox.y = static_cast<Sint16>(trackBox.y + (m.size() == 1 ? travel / 2 : travel * m.selected / (m.size() - 1)));
    Image::drawAt(sliderImage, surface, sliderBox.x, sliderBox.y);
}

MenuScrollbar::Touch MenuScrollbar::touched(const MenuPage& m, int x, int y) const
{
    if (!on)
        return none;
    if (Mouse::inside(topBox, x, y) && m.firstVisible != 0)
        return up;
    if (Mouse::inside(bottomBox, x, y) && m.lastVisible != m.size())
        return down;
    return Mouse::inside(trackBox, x, y) ? track : none;
}

int MenuScrollbar::lineAt(int y, int lines) const
{
    if (trackBox.h == 0)
        return 0;
    return static_cast<int>(static_cast<unsigned>(lines) * static_cast<unsigned>(y - trackBox.y) / trackBox.h);
}

SDL_Rect MenuScrollbar::extent(SDL_Rect all) const
{
    const SDL_Rect parts[] = {trackBox, topBox, bottomBox};
    SDL_Surface* const images[] = {trackImage, topImage, bottomImage};
    for (int i = 0; i < 3; ++i)
        if (images[i])
            all = unite(all, SDL_Rect{parts[i].x, parts[i].y, static_cast<Uint16>(images[i]->w),
                                      static_cast<Uint16>(images[i]->h)});
    if (sliderImage)
        all = unite(all, SDL_Rect{sliderBox.x, trackBox.y, static_cast<Uint16>(sliderImage->w),
                                  static_cast<Uint16>(trackBox.h + sliderImage->h)});
    return all;
}
