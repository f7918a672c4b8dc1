#include "FiguresScreen.h"

#include "FiguresPanel.h"
#include "Lang.h"
#include "Map.h"
#include "Menu.h"
#include "Notification.h"
#include "Signature.h"
#include "TrackView.h"
#include "Tracks.h"

namespace {

bool inside(const SDL_Rect& r, int x, int y)
{
    return x >= r.x && y >= r.y && x < r.x + r.w && y < r.y + r.h;
}

} // namespace

void FiguresScreen::open(std::size_t file, long long nowMs)
{
    const Tracks::File& f = parts.tracks->files[file];
    std::string problem;
    if (!page.open(f.path, file, f.data.points(), nowMs, &problem)) {
        parts.notification->setBg(parts.lang->value("track_problem") + " " + problem, 4000);
        return;
    }
    if (!problem.empty())
        parts.notification->tell(parts.lang->value("track_problem") + " " + problem, 4000);
    parts.menu->visible = false;
    TrackView::show(parts.map, f.data, FiguresPanel::mapRoom);
}

bool FiguresScreen::handle(const SDL_Event& event)
{
    if (!page.isOpen() || parts.menu->visible)
        return false;
    if (event.type == SDL_KEYDOWN) {
        const bool fast = event.key.keysym.mod & KMOD_SHIFT;
        switch (event.key.keysym.sym) {
        case SDLK_LEFT:
            moveCursor(fast ? -10 : -1, false);
            return true;
        case SDLK_RIGHT:
            moveCursor(fast ? 10 : 1, false);
            return true;
        case SDLK_ESCAPE:
        case SDLK_BACKSPACE:
            page.close();
            parts.menu->visible = true;
            parts.menu->model.switchMenu(tracksPage);
            return true;
        default:
            return false;
        }
    }
    const bool button = event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP;
    if (!button && event.type != SDL_MOUSEMOTION)
        return false;
    const int x = static_cast<Sint16>(button ? event.button.x : event.motion.x);
    const int y = static_cast<Sint16>(button ? event.button.y : event.motion.y);
    if (!inside(FiguresPanel::panel, x, y))
        return false;
    // A press on the profile, or a finger held down moving along it.
    const SDL_Rect& p = FiguresPanel::profile;
    const bool held = event.type == SDL_MOUSEMOTION && (event.motion.state & SDL_BUTTON(1));
    if ((event.type == SDL_MOUSEBUTTONDOWN || held) && x >= p.x && x < p.x + p.w && y >= p.y - 4)
        moveCursor(x - p.x, true);
    return true;
}

void FiguresScreen::moveCursor(int column, bool absolute)
{
    if (absolute)
        page.moveTo(column);
    else
        page.move(column);
    LonLat at;
    double x, y;
    const SDL_Rect& room = FiguresPanel::mapRoom;
    if (!page.markerAt(&at) || !parts.map->toScreen(at, &x, &y))
        return;
    if (x < room.x + 8 || y < room.y + 8 || x >= room.x + room.w - 8 || y >= room.y + room.h - 8)
        parts.map->centreOn(at.lon, at.lat);
}

void FiguresScreen::update(long long nowMs)
{
    if (!page.isOpen())
        return;
    if (parts.menu->visible || page.file() >= parts.tracks->files.size()) {
        page.close();
        return;
    }
    page.regrow(parts.tracks->files[page.file()].data.points(), nowMs);
}

void FiguresScreen::drawOnMap(SDL_Surface* screen) const
{
    if (page.isOpen())
        FiguresPanel::drawMarker(screen, page, *parts.map);
}

void FiguresScreen::drawPanel(SDL_Surface* screen, TTF_Font* font, bool blended) const
{
    FiguresPanel::draw(screen, font, *parts.lang, page, blended);
}

SDL_Rect FiguresScreen::panelBox() const
{
    return FiguresPanel::panel;
}

SDL_Rect FiguresScreen::markerBox() const
{
    return page.isOpen() ? FiguresPanel::markerBox(page, *parts.map) : SDL_Rect{0, 0, 0, 0};
}

void FiguresScreen::sign(Signature* look) const
{
    page.sign(look);
}
