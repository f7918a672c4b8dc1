#include "WaypointPage.h"

#include "Geodesy.h"
#include "Lang.h"
#include "Menu.h"
#include "MenuLine.h"
#include "ResultText.h"

void WaypointPage::build(Menu* menu, Lang* lang, int options)
{
    mapOptions = options;
    line = menu->model.addItem(mapOptions, MenuLine::waypoints, lang->value("waypoints"), false);
    page = menu->model.createOptionsMenu(lang->value("waypoints"), 150, 60, mapOptions, 0);
    onePage = menu->model.createMenu(lang->value("waypoints"), page, 0);
    menu->model.addItem(onePage, go, lang->value("waypoint_go"), false);
    menu->model.addItem(onePage, rename, lang->value("waypoint_rename"), false);
    menu->model.addItem(onePage, remove, lang->value("waypoint_delete"), false);
    menu->model.addItem(onePage, routeHere, lang->value("waypoint_route"), false);
}

void WaypointPage::fill(Menu* menu, Lang* lang, const Waypoints& waypoints, double lat, double lon)
{
    menu->model.clearMenu(page);
    menu->model.addItem(page, markHere, lang->value("waypoint_mark"), false);
    for (std::size_t i : waypoints.nearest(lat, lon)) {
        const Waypoints::Waypoint& w = waypoints.list[i];
        const int at = menu->model.addItem(page, static_cast<int>(i), w.name, false);
        const double metres = Geodesy::distance(lat, lon, w.lat, w.lon);
        std::string away = ResultText::distance(metres);
        if (metres >= 1)
            away += std::string(" ") + Geodesy::compass(Geodesy::bearing(lat, lon, w.lat, w.lon));
        menu->model.changeValue(page, at, away);
    }
    // Choosing on the page would copy the line into the parent's value: the
    // parent shows how many there are instead.
    menu->model.changeValue(mapOptions, line, static_cast<int>(waypoints.list.size()));
}

void WaypointPage::showOne(Menu* menu, const Waypoints& waypoints, std::size_t index)
{
    chosen = static_cast<int>(index);
    menu->model.pages[static_cast<std::size_t>(onePage)].title = waypoints.list[index].name;
    menu->model.switchMenu(onePage);
    menu->model.first();
}
