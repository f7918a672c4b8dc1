#include "ScreenDamage.h"

#include "Battery.h"
#include "FPS.h"
#include "FiguresScreen.h"
#include "LivePosition.h"
#include "Map.h"
#include "MapUI.h"
#include "Menu.h"
#include "Notification.h"
#include "PositionOverlay.h"
#include "Program.h"
#include "Rects.h"
#include "RouteControls.h"
#include "Signature.h"
#include "ToolBar.h"
#include "Tracks.h"

#include <cmath>

namespace {

SDL_Rect imageBox(const SDL_Rect& at, SDL_Surface* image)
{
    if (!image)
        return at;
    return unite(at, SDL_Rect{at.x, at.y, static_cast<Uint16>(image->w), static_cast<Uint16>(image->h)});
}

std::uint64_t flag(bool b)
{
    return b ? 1 : 0;
}

} // namespace

SDL_Rect ScreenDamage::screenBox() const
{
    return SDL_Rect{0, 0, static_cast<Uint16>(parts.screen->w), static_cast<Uint16>(parts.screen->h)};
}

// The map (or the start-up picture without one) lies under everything.
void ScreenDamage::addMap(std::vector<Region>* out) const
{
    const Map& map = *parts.map;
    Signature look;
    look.add(flag(parts.options->smoothText));
    look.add(flag(parts.options->showPosition));
    look.add(flag(map.loaded()));
    if (map.loaded()) {
        look.add(static_cast<std::uint64_t>(map.grid.offsetX));
        look.add(static_cast<std::uint64_t>(map.grid.offsetY));
        for (const Tile& tile : map.tiles)
            look.add(tile.surface);
        look.add(map.credits());
        for (const Tracks::File& file : parts.tracks->files)
            look.add(flag(file.shown));
        if (parts.route)
            parts.route->layer.sign(&look);
    }
    out->push_back(Region{screenBox(), look.value(), false});
}

void ScreenDamage::addWidgets(std::vector<Region>* out) const
{
    const std::uint64_t smooth = flag(parts.options->smoothText);
    const ToolBar& bar = *parts.toolBar;
    Signature body;
    body.add(smooth);
    bar.sign(&body);
    out->push_back(Region{toolBarExtent, body.value(), false});
    out->push_back(Region{bar.iconTextBox, static_cast<std::uint64_t>(bar.iconTextRoll.offset), bar.rolling()});

    const Menu& menu = *parts.menu;
    Signature page;
    page.add(smooth);
    menu.sign(&page);
    out->push_back(Region{menuExtent, page.value(), false});
    out->push_back(Region{menu.headingBox, static_cast<std::uint64_t>(menu.headingRoll.offset), menu.headingRolling()});
    const bool lineRolls = menu.lineRolling();
    out->push_back(Region{lineRolls ? menu.selectedLineBox() : SDL_Rect{0, 0, 0, 0},
                          static_cast<std::uint64_t>(menu.lineRoll.offset), lineRolls});
    const bool valueRolls = menu.valueRolling();
    out->push_back(Region{valueRolls ? menu.selectedValueBox() : SDL_Rect{0, 0, 0, 0},
                          static_cast<std::uint64_t>(menu.valueRoll.offset), valueRolls});

    const Battery& battery = *parts.battery;
    const FPS& fps = *parts.fps;
    const bool showBattery = parts.options->showBattery;
    SDL_Rect batteryBox = battery.box;
    for (SDL_Surface* image : battery.levelImages)
        batteryBox = imageBox(batteryBox, image);
    out->push_back(Region{batteryBox, flag(showBattery) | static_cast<std::uint64_t>(battery.level) << 1,
                          showBattery && fps.ticks() >= battery.nextStep});

    const bool showFps = parts.options->showFps;
    Signature rate;
    rate.add(flag(showFps) | smooth << 1);
    rate.add(static_cast<std::uint64_t>(static_cast<std::int64_t>(fps.shownRate * 100.0f)));
    out->push_back(Region{fps.textBox, rate.value(), showFps && fps.ticks() >= fps.nextTextUpdate});

    const Notification& note = *parts.notification;
    Signature message;
    message.add(smooth);
    message.add(note.bgText);
    out->push_back(Region{note.extent(), message.value(),
                          !note.bgText.empty() && fps.ticks() >= note.bgUntil});

    const bool cross = !menu.visible && parts.options->centerCross && parts.map->loaded() &&
                       !parts.live->fixAtCentre(*parts.map);
    out->push_back(Region{parts.mapUI->crossRect, flag(cross), false});
}

// The live position: a new fix redraws the marker's old and new places and
// the line's new part (a followed fix moves the map, which redraws all).
void ScreenDamage::addLive(std::vector<Region>* out) const
{
    const LivePosition& live = *parts.live;
    const Map& map = *parts.map;
    Signature marker;
    const SDL_Rect markerBox = map.loaded() ? live.signMap(&marker, map) : SDL_Rect{0, 0, 0, 0};
    out->push_back(Region{markerBox, marker.value(), false});
    Signature state;
    live.signIndicator(&state);
    out->push_back(Region{unite(PositionMarker::indicatorBox, PositionMarker::followOffBox), state.value(), false});
    Signature text;
    double lon = 0, lat = 0;
    if (map.loaded() && parts.options->showPosition && live.followedPosition(map, &lon, &lat)) {
        // The overlay shows five decimals.
        text.add(static_cast<std::uint64_t>(std::llround(lon * 1e5)));
        text.add(static_cast<std::uint64_t>(std::llround(lat * 1e5)));
    }
    out->push_back(Region{PositionOverlay::extent(), text.value(), false});
}

// The route's line of text over the map.
void ScreenDamage::addRoute(std::vector<Region>* out) const
{
    Signature text;
    if (parts.route && parts.map->loaded()) {
        text.add(flag(parts.options->smoothText));
        parts.route->banner.sign(&text);
    }
    out->push_back(Region{RouteBanner::box, text.value(), false});
}

// A track's figures: the panel, and the marker of its cursor on the map.
void ScreenDamage::addFigures(std::vector<Region>* out) const
{
    const FiguresScreen& figures = *parts.figures;
    Signature look;
    look.add(flag(parts.options->smoothText));
    figures.sign(&look);
    const bool open = figures.page.isOpen();
    out->push_back(Region{open ? figures.panelBox() : SDL_Rect{0, 0, 0, 0}, look.value(), false});
    const SDL_Rect marker = figures.markerBox();
    look.add(marker);
    out->push_back(Region{marker, look.value(), false});
}

std::vector<ScreenDamage::Region> ScreenDamage::regions() const
{
    std::vector<Region> all;
    all.reserve(last.size());
    addMap(&all);
    addWidgets(&all);
    addLive(&all);
    addRoute(&all);
    for (const Extra& extra : extras) {
        Signature look;
        extra.sign(&look);
        all.push_back(Region{screenBox(), look.value(), false});
    }
    addFigures(&all);
    for (Region& r : all)
        r.box = clipToScreen(r.box, parts.screen->w, parts.screen->h);
    return all;
}

std::vector<SDL_Rect> ScreenDamage::damaged()
{
    if (!known) {
        toolBarExtent = parts.toolBar->extent();
        menuExtent = parts.menu->extent();
        return {screenBox()};
    }
    const std::vector<Region> now = regions();
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
    std::vector<Region> now = regions();
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
