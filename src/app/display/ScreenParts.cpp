#include "ScreenParts.h"

#include "PositionOverlay.h"
#include "Program.h"
#include "Rects.h"
#include "Signature.h"

#include <cmath>
#include <memory>

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

const SDL_Rect nowhere{0, 0, 0, 0};

// The map (or the start-up picture without one) lies under everything;
// on it the tracks, the route, the waypoints and the chosen place, the
// live position's marker and line, and a track's figures' cursor.
ScreenPart mapPart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        const Map& map = p.map;
        Signature look;
        look.add(flag(p.options.smoothText));
        look.add(flag(p.options.showPosition));
        look.add(flag(map.loaded()));
        if (map.loaded()) {
            look.add(static_cast<std::uint64_t>(map.grid.offsetX));
            look.add(static_cast<std::uint64_t>(map.grid.offsetY));
            for (const Tile& tile : map.tiles)
                look.add(tile.surface);
            look.add(map.credits());
            for (const Tracks::File& file : p.tracks.files)
                look.add(flag(file.shown));
            p.route.layer.sign(&look);
        }
        p.find.signMap(&look);
        out->push_back(ScreenRegion{SDL_Rect{0, 0, static_cast<Uint16>(p.screen->w), static_cast<Uint16>(p.screen->h)},
                                    look.value(), false});
        // A new fix redraws the marker's old and new places and the line's
        // new part (a followed fix moves the map, which redraws all).
        Signature marker;
        const SDL_Rect markerBox = map.loaded() ? p.gps.live.signMap(&marker, map) : nowhere;
        out->push_back(ScreenRegion{markerBox, marker.value(), false});
        Signature cursor;
        const SDL_Rect cursorBox = p.figures.markerBox();
        cursor.add(cursorBox);
        out->push_back(ScreenRegion{cursorBox, cursor.value(), false});
    };
    const auto draw = [&p] {
        if (!p.map.loaded())
            p.splash.show(0);
        p.map.draw();
        if (p.map.loaded())
            p.attribution.draw(p.screen, p.map.credits(), p.options.smoothText);
        int z = 0;
        double x, y;
        if (p.map.screenOrigin(&z, &x, &y)) {
            p.tracks.draw(p.screen, z, x, y, p.fonts.small, p.options.smoothText);
            p.route.layer.draw(p.screen, z, x, y);
            p.find.drawOnMap(p.options.smoothText);
            p.gps.live.drawOnMap(p.screen, p.map);
            p.figures.drawOnMap(p.screen);
        }
    };
    return ScreenPart{"map", regions, draw, nullptr};
}

// The coordinates of the centre, or of the followed fix.
ScreenPart positionPart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        Signature text;
        double lon = 0, lat = 0;
        if (p.map.loaded() && p.options.showPosition && p.gps.live.followedPosition(p.map, &lon, &lat)) {
            // The overlay shows five decimals.
            text.add(static_cast<std::uint64_t>(std::llround(lon * 1e5)));
            text.add(static_cast<std::uint64_t>(std::llround(lat * 1e5)));
        }
        out->push_back(ScreenRegion{PositionOverlay::extent(), text.value(), false});
    };
    const auto draw = [&p] {
        LonLat fix;
        if (p.options.showPosition && p.map.loaded())
            PositionOverlay::draw(p.screen, p.map, p.fonts.small, p.options.smoothText,
                                  p.gps.live.followedPosition(p.map, &fix.lon, &fix.lat) ? &fix : nullptr);
    };
    return ScreenPart{"position", regions, draw, nullptr};
}

// The route's line of text: its progress, its totals or the next turn.
ScreenPart routeBannerPart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        Signature text;
        if (p.map.loaded()) {
            text.add(flag(p.options.smoothText));
            p.route.banner.sign(&text);
        }
        out->push_back(ScreenRegion{RouteBanner::box, text.value(), false});
    };
    const auto draw = [&p] {
        if (p.map.loaded())
            p.route.banner.draw(p.screen, p.fonts.small, p.options.smoothText);
    };
    return ScreenPart{"route banner", regions, draw, nullptr};
}

// A track's figures and elevation profile across the top.
ScreenPart figuresPart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        Signature look;
        look.add(flag(p.options.smoothText));
        p.figures.sign(&look);
        out->push_back(ScreenRegion{p.figures.page.isOpen() ? p.figures.panelBox() : nowhere, look.value(), false});
    };
    return ScreenPart{"figures", regions,
                      [&p] { p.figures.drawPanel(p.screen, p.fonts.small, p.options.smoothText); }, nullptr};
}

// The toolbar and its rolling icon name; its extent changes only when
// images are loaded, so it is measured at full redraws.
ScreenPart toolBarPart(Program& p)
{
    const auto extent = std::make_shared<SDL_Rect>(nowhere);
    const auto regions = [&p, extent](std::vector<ScreenRegion>* out) {
        const ToolBar& bar = p.toolBar;
        Signature body;
        body.add(flag(p.options.smoothText));
        bar.sign(&body);
        out->push_back(ScreenRegion{*extent, body.value(), false});
        out->push_back(
            ScreenRegion{bar.iconTextBox, static_cast<std::uint64_t>(bar.iconTextRoll.offset), bar.rolling()});
    };
    return ScreenPart{"toolbar", regions, [&p] { p.toolBar.draw(&p.fps, p.options.smoothText); },
                      [&p, extent] { *extent = p.toolBar.extent(); }};
}

// The menu, its rolling heading, selected line and value.
ScreenPart menuPart(Program& p)
{
    const auto extent = std::make_shared<SDL_Rect>(nowhere);
    const auto regions = [&p, extent](std::vector<ScreenRegion>* out) {
        const Menu& menu = p.menu;
        Signature page;
        page.add(flag(p.options.smoothText));
        menu.sign(&page);
        out->push_back(ScreenRegion{*extent, page.value(), false});
        out->push_back(ScreenRegion{menu.headingBox, static_cast<std::uint64_t>(menu.headingRoll.offset),
                                    menu.headingRolling()});
        const bool lineRolls = menu.lineRolling();
        out->push_back(ScreenRegion{lineRolls ? menu.selectedLineBox() : nowhere,
                                    static_cast<std::uint64_t>(menu.lineRoll.offset), lineRolls});
        const bool valueRolls = menu.valueRolling();
        out->push_back(ScreenRegion{valueRolls ? menu.selectedValueBox() : nowhere,
                                    static_cast<std::uint64_t>(menu.valueRoll.offset), valueRolls});
    };
    return ScreenPart{"menu", regions, [&p] { p.menu.draw(&p.fps, p.options.smoothText); },
                      [&p, extent] { *extent = p.menu.extent(); }};
}

ScreenPart batteryPart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        const bool shown = p.options.showBattery;
        SDL_Rect box = p.battery.box;
        for (SDL_Surface* image : p.battery.levelImages)
            box = imageBox(box, image);
        out->push_back(ScreenRegion{box, flag(shown) | static_cast<std::uint64_t>(p.battery.level) << 1,
                                    shown && p.fps.ticks() >= p.battery.nextStep});
    };
    const auto draw = [&p] {
        if (p.options.showBattery)
            p.battery.draw();
    };
    return ScreenPart{"battery", regions, draw, nullptr};
}

// Whether gpsd is connected and has a fix, and whether following is off.
ScreenPart gpsIndicatorPart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        Signature state;
        p.gps.live.signIndicator(&state);
        out->push_back(
            ScreenRegion{unite(PositionMarker::indicatorBox, PositionMarker::followOffBox), state.value(), false});
    };
    return ScreenPart{"gps indicator", regions, [&p] { p.gps.live.drawIndicator(p.screen); }, nullptr};
}

ScreenPart frameRatePart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        const bool shown = p.options.showFps;
        Signature rate;
        rate.add(flag(shown) | flag(p.options.smoothText) << 1);
        rate.add(static_cast<std::uint64_t>(static_cast<std::int64_t>(p.fps.shownRate * 100.0f)));
        out->push_back(ScreenRegion{p.fps.textBox, rate.value(), shown && p.fps.ticks() >= p.fps.nextTextUpdate});
    };
    const auto draw = [&p] {
        if (p.options.showFps)
            p.fps.draw(p.options.smoothText);
    };
    return ScreenPart{"frame rate", regions, draw, nullptr};
}

// The search page: its field, its lines and the on-screen keyboard, over
// the whole screen.
ScreenPart findPagePart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        Signature look;
        p.find.signPage(&look);
        out->push_back(ScreenRegion{SDL_Rect{0, 0, static_cast<Uint16>(p.screen->w), static_cast<Uint16>(p.screen->h)},
                                    look.value(), false});
    };
    return ScreenPart{"search page", regions, [&p] { p.find.drawPage(p.options.smoothText); }, nullptr};
}

ScreenPart notificationPart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        const Notification& note = p.notification;
        Signature message;
        message.add(flag(p.options.smoothText));
        message.add(note.bgText);
        out->push_back(
            ScreenRegion{note.extent(), message.value(), !note.bgText.empty() && p.fps.ticks() >= note.bgUntil});
    };
    return ScreenPart{"notification", regions, [&p] { p.notification.draw(p.options.smoothText); }, nullptr};
}

// Hidden under the menu and the search page, and where the live
// position's marker stands.
bool crossShown(const Program& p)
{
    return !p.menu.visible && !p.find.page.visible && p.options.centerCross && p.map.loaded() &&
           !p.gps.live.fixAtCentre(p.map);
}

ScreenPart centreCrossPart(Program& p)
{
    const auto regions = [&p](std::vector<ScreenRegion>* out) {
        out->push_back(ScreenRegion{p.mapUI.crossRect, flag(crossShown(p)), false});
    };
    const auto draw = [&p] {
        if (crossShown(p))
            p.mapUI.drawCenterCross();
    };
    return ScreenPart{"centre cross", regions, draw, nullptr};
}

} // namespace

namespace ScreenParts {

std::vector<ScreenPart> of(Program& p)
{
    return {mapPart(p),         positionPart(p),  routeBannerPart(p), figuresPart(p),
            toolBarPart(p),     menuPart(p),      batteryPart(p),     gpsIndicatorPart(p),
            frameRatePart(p),   findPagePart(p),  notificationPart(p), centreCrossPart(p)};
}

} // namespace ScreenParts
