#include "RouteControls.h"

#include "Clock.h"
#include "ConfParser.h"
#include "Lang.h"
#include "Layout.h"
#include "LivePosition.h"
#include "Map.h"
#include "MapUI.h"
#include "Menu.h"
#include "MenuLine.h"
#include "Mercator.h"
#include "Notification.h"
#include "RouteGpx.h"
#include "RouteMessage.h"
#include "SafeFile.h"
#include "Settings.h"

#include <cstdio>
#include <ctime>
#include <sys/stat.h>

RouteControls::RouteControls(const Parts& parts)
    : parts(parts), texts([lang = parts.lang](const std::string& id) { return lang->value(id); })
{
}

void RouteControls::build(int mapOptions)
{
    page.build(parts.menu, parts.lang, mapOptions);
    refresh();
}

RouteProfile RouteControls::profile() const
{
    RouteProfile p;
    RouteProfile::parse(parts.options->routeProfile, &p.transport);
    p.shortest = parts.options->routeShortest;
    return p;
}

// The point under the centre cross.
bool RouteControls::centre(double* lat, double* lon) const
{
    const Map& map = *parts.map;
    int z = 0;
    if (!map.mercatorLevel(&z))
        return false;
    double wx, wy;
    map.worldPixel(map.grid.viewWidth / 2.0, map.grid.viewHeight / 2.0, &wx, &wy);
    Mercator::toLonLat(wx, wy, z, lon, lat);
    return true;
}

bool RouteControls::routeTo(double lat, double lon)
{
    const Fix& fix = parts.live->status.fix;
    if (fix.hasPosition() && !parts.live->stale)
        return ask(fix.lat, fix.lon, lat, lon);
    if (startSet)
        return ask(startLat, startLon, lat, lon);
    say(parts.lang->value("route_no_start"));
    return false;
}

bool RouteControls::ask(double fromLat, double fromLon, double lat, double lon)
{
    RouteRequest request;
    request.id = asked = ++lastId;
    request.mapsDir = MapUI::mapsFolder();
    request.profile = profile();
    request.fromLat = fromLat;
    request.fromLon = fromLon;
    request.toLat = toLat = lat;
    request.toLon = toLon = lon;
    package = parts.map->api.get();
    if (threaded && !started) {
        worker.onFinished = onFinished; // before the thread that calls it
        worker.start();
        started = true;
    }
    worker.want(request);
    banner.text = RouteMessage::computing(texts, 0);
    return true;
}

bool RouteControls::cancelKey(const SDL_Event& event)
{
    if (!computing() || event.type != SDL_KEYDOWN || event.key.keysym.sym != SDLK_ESCAPE)
        return false;
    worker.cancel();
    asked = 0;
    bannerDue = true;
    say(parts.lang->value("route_cancelled"));
    return true;
}

void RouteControls::update()
{
    // The routing data goes with the package it was asked for under.
    if (package && parts.map->api.get() != package) {
        package = nullptr;
        worker.release();
    }
    RouteResult result;
    if (worker.take(&result) && result.id == asked)
        take(result);
    follow();
    if (computing())
        banner.text = RouteMessage::computing(texts, worker.progress());
    else if (bannerDue)
        banner.text = route.points.empty() ? std::string() : followingText();
    bannerDue = false;
}

void RouteControls::take(const RouteResult& result)
{
    asked = 0;
    bannerDue = true;
    if (result.data != RouteResult::usable || result.outcome != Router::found) {
        if (!result.why.empty())
            std::fprintf(stderr, "tessel: no route: %s\n", result.why.c_str());
        say(RouteMessage::outcome(texts, result));
        return;
    }
    route = result.route;
    layer.show(route);
    follower.follow(route);
    page.listTurns(parts.menu, parts.lang, route);
    refresh();
}

// The fix on the route: the next turn on the banner, a new route when it
// left the route, the arrival said once. Without a fix: the route's totals.
void RouteControls::follow()
{
    if (route.points.empty())
        return;
    const GpsStatus& status = parts.live->status;
    const bool live = status.fix.hasPosition() && !parts.live->stale;
    if (live && status.reports != lastReports) {
        lastReports = status.reports;
        bannerDue = true;
        switch (follower.fix(status.fix.lat, status.fix.lon)) {
        case RouteFollower::offRoute:
            parts.notification->tell(parts.lang->value("route_off"), 2 * Layout::messageMs);
            ask(status.fix.lat, status.fix.lon, toLat, toLon);
            break;
        case RouteFollower::arrived:
            parts.notification->tell(parts.lang->value("route_arrived"), 2 * Layout::messageMs);
            break;
        case RouteFollower::none:
            break;
        }
    }
    // A fix that stopped coming or went stale shows the totals again.
    if (live != wasLive)
        bannerDue = true;
    wasLive = live;
}

// The next turn while the fix is on the route, else the route's totals.
std::string RouteControls::followingText() const
{
    if (wasLive && follower.active() && follower.metresOff <= RouteFollower::offMetres &&
        follower.nextTurn < route.turns.size())
        return TurnText::ahead(texts, route, follower.nextTurn, follower.metresToTurn);
    return RouteMessage::summary(texts, route);
}

bool RouteControls::choose(int shown, int line)
{
    Menu& menu = *parts.menu;
    if (shown == page.mapOptions && line == MenuLine::route) {
        menu.model.switchMenu(page.page);
    } else if (shown == page.page) {
        choosePageLine(line);
    } else if (shown == page.transportPage) {
        RouteProfile p = profile();
        if (line >= RouteProfile::foot && line <= RouteProfile::car)
            p.transport = static_cast<RouteProfile::Transport>(line);
        parts.options->routeProfile = p.name();
        p.store(parts.settings);
        menu.model.switchMenu(page.page);
        again();
    } else if (shown == page.turnsPage) {
        if (line >= 0 && static_cast<std::size_t>(line) < route.turns.size()) {
            const RoutePoint& at = route.points[route.turns[static_cast<std::size_t>(line)].point];
            if (parts.map->centreOn(at.lon, at.lat))
                menu.visible = false;
        }
    } else {
        return false;
    }
    refresh();
    return true;
}

void RouteControls::choosePageLine(int line)
{
    double lat, lon;
    switch (line) {
    case RoutePage::go:
        if (centre(&lat, &lon) && routeTo(lat, lon))
            parts.menu->visible = false;
        break;
    case RoutePage::startHere:
        if (centre(&lat, &lon)) {
            startSet = true;
            startLat = lat;
            startLon = lon;
            say(parts.lang->value("route_start_set"));
        }
        break;
    case RoutePage::transport:
        parts.menu->model.switchMenu(page.transportPage);
        break;
    case RoutePage::way: {
        RouteProfile p = profile();
        p.shortest = !p.shortest;
        parts.options->routeShortest = p.shortest;
        p.store(parts.settings);
        again();
        break;
    }
    case RoutePage::turns:
        parts.menu->model.switchMenu(page.turnsPage);
        break;
    case RoutePage::save:
        save();
        break;
    case RoutePage::clear:
        clear();
        break;
    default:
        break;
    }
}

// The route shown, made again for a changed profile: from the fix, else
// from where it began.
void RouteControls::again()
{
    if (route.points.empty())
        return;
    const Fix& fix = parts.live->status.fix;
    if (fix.hasPosition() && !parts.live->stale)
        ask(fix.lat, fix.lon, toLat, toLon);
    else
        ask(route.points.front().lat, route.points.front().lon, toLat, toLon);
}

void RouteControls::clear()
{
    worker.cancel();
    asked = 0;
    route = Route();
    layer.clear();
    follower.clear();
    bannerDue = true;
    page.listTurns(parts.menu, parts.lang, route);
}

void RouteControls::refresh()
{
    page.refresh(parts.menu, parts.lang, profile(), route);
}

void RouteControls::say(const std::string& text)
{
    parts.notification->setBg(text, 2 * Layout::messageMs);
}

// tracks/route-<UTC date and time>.gpx, never over a file that is there.
bool RouteControls::save(const std::string& dir)
{
    if (route.points.empty())
        return false;
    const std::time_t now = static_cast<std::time_t>(parts.clock->unixTime());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    mkdir(dir.c_str(), 0755);
    std::string name, why;
    for (int n = 1; n < 100 && name.empty(); ++n) {
        const std::string candidate = std::string("route-") + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".gpx";
        if (!SafeFile::present(dir + "/" + candidate))
            name = candidate;
    }
    const std::string gpx = RouteGpx::text(route, texts, name.substr(0, name.size() - 4));
    if (name.empty() || !RouteGpx::save(dir + "/" + name, gpx, &why)) {
        std::fprintf(stderr, "tessel: cannot save the route: %s\n", why.c_str());
        say(parts.lang->value("route_not_saved") + (why.empty() ? "" : " " + why));
        return false;
    }
    say(parts.lang->value("route_saved") + " " + name);
    return true;
}
