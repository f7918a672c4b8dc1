#include "TurnText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace TurnText {

namespace {

const char* const roadIds[13] = {"route_road_motorway",    "route_road_trunk",       "route_road_primary",
                                 "route_road_secondary",   "route_road_tertiary",    "route_road_unclassified",
                                 "route_road_residential", "route_road_service",     "route_road_track",
                                 "route_road_cycleway",    "route_road_path",        "route_road_steps",
                                 "route_road_ferry"};
const char* const compassIds[8] = {"route_north", "route_northeast", "route_east", "route_southeast",
                                   "route_south", "route_southwest", "route_west", "route_northwest"};

// `text` with every "{key}" replaced by `value`.
std::string fill(std::string text, const std::string& key, const std::string& value)
{
    const std::string mark = "{" + key + "}";
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
        text.replace(at, mark.size(), value);
    return text;
}

std::string direction(const Texts& texts, int angle)
{
    const int size = std::abs(angle);
    const char* side = angle < 0 ? "left" : "right";
    if (size <= 22)
        return texts("route_straight");
    if (size <= 67)
        return texts(std::string("route_slight_") + side);
    if (size <= 112)
        return texts(std::string("route_") + side);
    return texts(std::string("route_sharp_") + side);
}

std::string wayName(const Texts& texts, const RouteTurn& turn)
{
    if (!turn.way.empty())
        return turn.way;
    if (turn.roadClass >= 1 && turn.roadClass <= 13)
        return texts(roadIds[turn.roadClass - 1]);
    return {};
}

std::string onto(const Texts& texts, const std::string& action, const RouteTurn& turn)
{
    const std::string way = wayName(texts, turn);
    return way.empty() ? action : fill(fill(texts("route_onto"), "action", action), "way", way);
}

std::string action(const Texts& texts, const Route& route, std::size_t index)
{
    const RouteTurn& turn = route.turns[index];
    switch (turn.kind) {
    case RouteTurn::start: {
        const std::string compass = texts(compassIds[((turn.bearing % 360 + 360 + 22) / 45) % 8]);
        const std::string way = wayName(texts, turn);
        return way.empty() ? fill(texts("route_start"), "compass", compass)
                           : fill(fill(texts("route_start_on"), "compass", compass), "way", way);
    }
    case RouteTurn::arrive:
        return texts("route_arrive");
    case RouteTurn::uturn:
        return onto(texts, texts("route_uturn"), turn);
    case RouteTurn::miniRoundabout:
        return onto(texts, fill(texts("route_mini_roundabout"), "action", direction(texts, turn.angle)), turn);
    case RouteTurn::roundabout:
        return fill(texts("route_roundabout"), "exit", std::to_string(turn.exit));
    case RouteTurn::leaveRoundabout:
        return onto(texts, texts("route_roundabout_leave"), turn);
    default:
        return onto(texts, direction(texts, turn.angle), turn);
    }
}

std::string decimal(const Texts& texts, double value, int places)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    std::string s = text;
    const std::size_t dot = s.find('.');
    if (dot != std::string::npos)
        s.replace(dot, 1, texts("route_decimal"));
    return s;
}

} // namespace

std::string distance(const Texts& texts, double metres)
{
    if (metres < 1000) {
        // To 10 m: a closer figure would only flicker while driving.
        const long rounded = metres < 100 ? std::lround(metres) : std::lround(metres / 10) * 10;
        return fill(texts("route_metres"), "n", std::to_string(rounded));
    }
    return fill(texts("route_kilometres"), "n", decimal(texts, metres / 1000, metres < 10000 ? 1 : 0));
}

std::string duration(const Texts& texts, double seconds)
{
    const long minutes = std::max(1L, std::lround(seconds / 60));
    if (minutes < 60)
        return fill(texts("route_minutes"), "n", std::to_string(minutes));
    char rest[8];
    std::snprintf(rest, sizeof rest, "%02ld", minutes % 60);
    return fill(fill(texts("route_hours"), "h", std::to_string(minutes / 60)), "m", rest);
}

std::string describe(const Texts& texts, const Route& route, std::size_t index)
{
    if (index >= route.turns.size())
        return {};
    const std::string what = action(texts, route, index);
    if (index == 0 || route.turns[index].kind == RouteTurn::start)
        return what;
    const double before = route.points[route.turns[index - 1].point].metres;
    const double gap = route.points[route.turns[index].point].metres - before;
    return fill(fill(texts("route_in"), "distance", distance(texts, gap)), "text", what);
}

std::string ahead(const Texts& texts, const Route& route, std::size_t index, double metres)
{
    if (index >= route.turns.size())
        return {};
    return fill(fill(texts("route_in"), "distance", distance(texts, std::max(0.0, metres))), "text",
                action(texts, route, index));
}

} // namespace TurnText
