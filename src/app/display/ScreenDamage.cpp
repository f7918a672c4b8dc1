#include "ScreenDamage.h"

#include "Rects.h"

SDL_Rect ScreenDamage::screenBox() const
{
    return SDL_Rect{0, 0, static_cast<Uint16>(screen->w), static_cast<Uint16>(screen->h)};
}

std::vector<ScreenRegion> ScreenDamage::regions() const
{
    std::vector<ScreenRegion> all;
    all.reserve(last.size());
    for (const ScreenPart& part : *parts)
        part.regions(&all);
    for (ScreenRegion& r : all)
        r.box = clipToScreen(r.box, screen->w, screen->h);
    return all;
}

std::vector<SDL_Rect> ScreenDamage::damaged()
{
    if (!known) {
        for (const ScreenPart& part : *parts)
            if (part.measure)
                part.measure();
        return {screenBox()};
    }
    const std::vector<ScreenRegion> now = regions();
    std::vector<SDL_Rect> boxes;
    for (std::size_t i = 0; i < now.size(); ++i) {
        if (!now[i].due && now[i].look == last[i].look)
            continue;
        // A part that moved leaves its old place to be drawn again too.
        for (const SDL_Rect& box : {now[i].box, last[i].box})
            if (!emptyRect(box))
                boxes.push_back(box);
    }
    return boxes;
}

void ScreenDamage::shown(const SDL_Rect& clip)
{
    std::vector<ScreenRegion> now = regions();
    if (!known) {
        if (!containsRect(clip, screenBox()))
            return;
        last = now;
        known = true;
        return;
    }
    for (std::size_t i = 0; i < now.size(); ++i)
        if (containsRect(clip, now[i].box) && containsRect(clip, last[i].box))
            last[i] = now[i];
}
