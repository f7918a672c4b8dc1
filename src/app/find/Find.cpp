#include "Find.h"

#include "Coordinates.h"
#include "Fonts.h"
#include "Folding.h"
#include "Geodesy.h"
#include "Lang.h"
#include "Layout.h"
#include "LivePosition.h"
#include "Map.h"
#include "Menu.h"
#include "MenuLine.h"
#include "Mercator.h"
#include "Notification.h"
#include "ResultText.h"
#include "Settings.h"
#include "ToolAction.h"
#include "ToolBar.h"
#include "Waker.h"

#include <sys/stat.h>

const char* const Find::waypointsFile = "tracks/waypoints.gpx";

void Find::build(int mapOptions)
{
    std::string why;
    ++waypointsRevision;
    if (!waypoints.load(waypointsFile, &why))
        parts.notification->tell(parts.lang->value("waypoints_unreadable") + " " + why, 6000);
    waypointPage.build(parts.menu, parts.lang, mapOptions);
    parts.menu->model.changeValue(mapOptions, waypointPage.line, static_cast<int>(waypoints.list.size()));
    search.waypointKind = parts.lang->value("waypoint_kind");
}

bool Find::takeEvent(const SDL_Event& event)
{
    if (!page.visible || parts.notification->waiting())
        return false;
    if (event.type == SDL_KEYDOWN) {
        const SDL_keysym& key = event.key.keysym;
        if (key.sym == SDLK_F11 || (key.sym == SDLK_c && (key.mod & KMOD_CTRL)))
            return false;
    } else if (event.type != SDL_MOUSEBUTTONDOWN && event.type != SDL_MOUSEBUTTONUP &&
               event.type != SDL_MOUSEMOTION) {
        return false;
    }
    const FindPage::Action action = page.take(event);
    switch (action.kind) {
    case FindPage::Action::edited:
        if (naming == Naming::none) {
            marks.marked = false; // a new search
            refresh();
        }
        break;
    case FindPage::Action::choose:
        chooseLine(action.line);
        break;
    case FindPage::Action::confirm:
        confirmName();
        break;
    case FindPage::Action::leave:
        page.close();
        naming = Naming::none;
        break;
    case FindPage::Action::none:
        break;
    }
    return true;
}

void Find::update()
{
    if (page.visible && naming == Naming::none && search.take())
        showLines();
}

bool Find::toolAction(int action)
{
    if (action == ToolAction::search)
        openSearch();
    else if (action == ToolAction::mark)
        mark();
    else
        return false;
    return true;
}

void Find::openSearch()
{
    std::vector<std::string> problems;
    search.open("maps", manual, [this] { parts.waker->wake(); }, &problems);
    for (const std::string& p : problems)
        parts.notification->tell(parts.lang->value("search_failed") + " " + p, 6000);
    openPage("search_prompt", "", Naming::none);
    refresh();
}

// The page over everything; when it closes, keys go to the map.
void Find::openPage(const char* promptId, const std::string& text, Naming what)
{
    naming = what;
    page.keyboard.setAccents(parts.lang->value("keyboard_letters"));
    page.font = parts.fonts->text;
    page.open(parts.lang->value(promptId), text, what != Naming::none);
    parts.menu->visible = false;
    parts.toolBar->visible = false;
}

void Find::mark()
{
    double lat, lon;
    if (!parts.live->followedPosition(*parts.map, &lon, &lat) && !centre(&lat, &lon))
        return;
    namingAt = LonLat{lon, lat};
    openPage("waypoint_name", waypoints.nextName(), Naming::mark);
}

bool Find::destination(LonLat* at) const
{
    if (!marks.marked)
        return false;
    *at = LonLat{marks.chosen.lon, marks.chosen.lat};
    return true;
}

// The field changed: coordinates are read at once, names go to the workers.
void Find::refresh()
{
    found.clear();
    note.clear();
    double lat = 0, lon = 0;
    origin(&lat, &lon);
    const std::string& text = page.text;
    if (!Folding::words(text).empty() && Coordinates::looksLike(text)) {
        SearchResult place;
        std::string why;
        if (Coordinates::parse(text, &place.lat, &place.lon, &why)) {
            place.name = Mercator::formatLonLat(place.lon, place.lat);
            place.kind = parts.lang->value("coordinates_kind");
            place.distance = Geodesy::distance(lat, lon, place.lat, place.lon);
            place.bearing = Geodesy::bearing(lat, lon, place.lat, place.lon);
            found.push_back(place);
        } else {
            note = parts.lang->value(why.find("from -90") != std::string::npos ? "coordinates_range"
                                                                                : "coordinates_expected");
        }
    }
    if (note.empty() && !search.haveIndex())
        note = parts.lang->value("search_no_index");
    search.ask(text, lat, lon, waypoints);
    showLines();
}

void Find::showLines()
{
    std::vector<SearchResult> all(found.begin(), found.end());
    all.insert(all.end(), search.results.begin(), search.results.end());
    std::vector<std::string> lines;
    for (const SearchResult& r : all)
        lines.push_back(ResultText::line(r));
    std::string message = note;
    if (!search.problem.empty())
        message = parts.lang->value("search_failed") + " " + search.problem;
    else if (message.empty() && lines.empty() && !search.busy() && !Folding::words(page.text).empty())
        message = parts.lang->value("search_nothing");
    shown = all;
    page.show(lines, message);
}

void Find::chooseLine(int line)
{
    if (line < 0 || static_cast<std::size_t>(line) >= shown.size())
        return;
    const SearchResult& r = shown[static_cast<std::size_t>(line)];
    const int level = r.kind == parts.lang->value("coordinates_kind") ? 15
                      : r.kind == search.waypointKind                  ? 16
                                                                       : ResultText::zoom(r.kind);
    goTo(r.lat, r.lon, level);
    marks.chosen = MapMarks::Mark{r.name, r.lat, r.lon};
    marks.marked = true;
    page.close();
}

// Level by level towards `level`, as far as the package goes, then centred.
void Find::goTo(double lat, double lon, int level)
{
    Map& map = *parts.map;
    int z = 0;
    for (int step = 0; step < 32 && map.mercatorLevel(&z) && z != level; ++step)
        if (!(z < level ? map.zoomIn() : map.zoomOut()))
            break;
    if (!map.centreOn(lon, lat))
        parts.notification->setBg(parts.lang->value("search_not_on_map"), Layout::messageMs);
}

void Find::confirmName()
{
    const std::string name = Folding::clean(page.text, Waypoints::maxNameBytes);
    if (name.find_first_not_of(' ') == std::string::npos) {
        parts.notification->setBg(parts.lang->value("waypoint_needs_name"), Layout::messageMs);
        return;
    }
    if (naming == Naming::mark) {
        if (!waypoints.add(name, namingAt.lat, namingAt.lon))
            return;
    } else if (naming == Naming::rename && renaming < waypoints.list.size()) {
        waypoints.list[renaming].name = name;
    }
    const bool renamed = naming == Naming::rename;
    naming = Naming::none;
    page.close();
    if (saveWaypoints())
        parts.notification->setBg(parts.lang->value(renamed ? "waypoint_renamed" : "waypoint_saved") + " " + name,
                                  Layout::messageMs);
    if (renamed) {
        // Back to the list, where the rename began.
        choose(waypointPage.mapOptions, MenuLine::waypoints);
        parts.menu->visible = true;
    }
}

// The list stays as it is when the file cannot be written; the user is told.
bool Find::saveWaypoints()
{
    std::string why;
    ++waypointsRevision; // every change of the list is saved at once
    mkdir("tracks", 0755);
    const bool saved = waypoints.save(waypointsFile, &why);
    if (!saved)
        parts.notification->setBg(parts.lang->value("waypoints_not_saved") + " " + why, 2 * Layout::messageMs);
    parts.menu->model.changeValue(waypointPage.mapOptions, waypointPage.line, static_cast<int>(waypoints.list.size()));
    return saved;
}

bool Find::choose(int menuPage, int line)
{
    Menu& menu = *parts.menu;
    double lat = 0, lon = 0;
    origin(&lat, &lon);
    if (menuPage == waypointPage.mapOptions && line == MenuLine::waypoints) {
        waypointPage.fill(&menu, parts.lang, waypoints, lat, lon);
        menu.model.switchMenu(waypointPage.page);
        return true;
    }
    if (menuPage == waypointPage.page) {
        if (line == WaypointPage::markHere) {
            menu.visible = false;
            mark();
        } else if (line >= 0 && static_cast<std::size_t>(line) < waypoints.list.size()) {
            waypointPage.showOne(&menu, waypoints, static_cast<std::size_t>(line));
        } else {
            waypointPage.fill(&menu, parts.lang, waypoints, lat, lon);
            menu.model.switchMenu(waypointPage.page);
        }
        // Choosing copied the line into the parent's value: the count again.
        menu.model.changeValue(waypointPage.mapOptions, waypointPage.line, static_cast<int>(waypoints.list.size()));
        return true;
    }
    if (menuPage != waypointPage.onePage)
        return false;
    const std::size_t i = static_cast<std::size_t>(waypointPage.chosen);
    if (i >= waypoints.list.size())
        return true;
    if (line == WaypointPage::go) {
        goTo(waypoints.list[i].lat, waypoints.list[i].lon, 16);
        menu.visible = false;
    } else if (line == WaypointPage::rename) {
        renaming = i;
        openPage("waypoint_name", waypoints.list[i].name, Naming::rename);
    } else if (line == WaypointPage::routeHere && routeTo) {
        menu.visible = false;
        routeTo(waypoints.list[i].lat, waypoints.list[i].lon);
    } else if (line == WaypointPage::remove) {
        waypoints.list.erase(waypoints.list.begin() + static_cast<long>(i));
        saveWaypoints();
        waypointPage.fill(&menu, parts.lang, waypoints, lat, lon);
        menu.model.switchMenu(waypointPage.page);
    }
    return true;
}

bool Find::centre(double* lat, double* lon) const
{
    const Map& map = *parts.map;
    int z = 0;
    if (!map.loaded() || !map.mercatorLevel(&z))
        return false;
    double x, y;
    map.worldPixel(map.grid.viewWidth / 2.0, map.grid.viewHeight / 2.0, &x, &y);
    Mercator::toLonLat(x, y, z, lon, lat);
    return true;
}

bool Find::origin(double* lat, double* lon) const
{
    const Fix& fix = parts.live->status.fix;
    if (parts.live->on() && !parts.live->stale && fix.hasPosition()) {
        *lat = fix.lat;
        *lon = fix.lon;
        return true;
    }
    return centre(lat, lon);
}

void Find::drawOnMap(bool blended)
{
    marks.draw(parts.screen, *parts.map, waypoints, parts.fonts->small, blended);
}

void Find::drawPage(bool blended)
{
    if (page.visible)
        page.draw(parts.screen, blended);
}

void Find::signMap(Signature* look) const
{
    marks.sign(look, *parts.map, waypointsRevision);
}
