#include "RoutePage.h"

#include "Lang.h"
#include "Menu.h"
#include "MenuLine.h"
#include "TurnText.h"

namespace {

const char* const transportIds[] = {"route_foot", "route_bicycle", "route_car"};

TurnText::Texts texts(Lang* lang)
{
    return [lang](const std::string& id) { return lang->value(id); };
}

} // namespace

void RoutePage::build(Menu* menu, Lang* lang, int options)
{
    mapOptions = options;
    MenuModel& m = menu->model;
    line = m.addItem(mapOptions, MenuLine::route, lang->value("route"), false);
    page = m.createOptionsMenu(lang->value("route"), 150, 72, mapOptions, 0);
    const char* const ids[] = {"route_to_cross", "route_start_here", "route_travel", "route_way",
                               "route_turns",    "route_save",       "route_clear"};
    for (int i = go; i <= clear; ++i)
        lines[i] = m.addItem(page, i, lang->value(ids[i]), false);
    transportPage = m.createMenu(lang->value("route_travel"), page, 0);
    for (int t = RouteProfile::foot; t <= RouteProfile::car; ++t)
        m.addItem(transportPage, t, lang->value(transportIds[t]), false);
    turnsPage = m.createMenu(lang->value("route_turns"), page, 0);
}

void RoutePage::refresh(Menu* menu, Lang* lang, const RouteProfile& profile, const Route& route) const
{
    MenuModel& m = menu->model;
    m.changeValue(page, lines[transport], lang->value(transportIds[profile.transport]));
    m.changeValue(page, lines[way], lang->value(profile.shortest ? "route_shortest" : "route_quickest"));
    const bool any = !route.points.empty();
    m.changeValue(page, lines[turns], any ? std::to_string(route.turns.size()) : std::string());
    for (int i : {turns, save, clear}) {
        if (any)
            m.activateItem(page, lines[i]);
        else
            m.disableItem(page, lines[i]);
    }
    m.changeValue(mapOptions, line, any ? TurnText::distance(texts(lang), route.metres()) : std::string());
}

void RoutePage::listTurns(Menu* menu, Lang* lang, const Route& route) const
{
    menu->model.clearMenu(turnsPage);
    for (std::size_t i = 0; i < route.turns.size(); ++i)
        menu->model.addItem(turnsPage, static_cast<int>(i), TurnText::describe(texts(lang), route, i), false);
}
