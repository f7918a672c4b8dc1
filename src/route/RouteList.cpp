#include "RouteList.h"

#include <cstring>
#include <routino.h>

namespace RouteList {

const char* const roadClasses[13] = {"motorway",          "trunk road",       "primary road",  "secondary road",
                                     "tertiary road",     "unclassified road", "residential road", "service road",
                                     "track",             "cycleway",         "path",          "steps",
                                     "ferry"};

namespace {

const double degrees = 180 / 3.14159265358979323846;

void name(const char* text, RouteTurn* turn)
{
    if (!text)
        return;
    for (int i = 0; i < 13; ++i)
        if (std::strcmp(text, roadClasses[i]) == 0) {
            turn->roadClass = i + 1;
            return;
        }
    turn->way = text;
}

RouteTurn::Kind kind(int type, bool first)
{
    switch (type) {
    case ROUTINO_POINT_RB_ENTRY:
        return RouteTurn::roundabout;
    case ROUTINO_POINT_RB_EXIT:
        return RouteTurn::leaveRoundabout;
    case ROUTINO_POINT_MINI_RB:
        return RouteTurn::miniRoundabout;
    case ROUTINO_POINT_UTURN:
        return RouteTurn::uturn;
    case ROUTINO_POINT_WAYPOINT:
        return first ? RouteTurn::start : RouteTurn::arrive;
    default:
        return RouteTurn::junction;
    }
}

} // namespace

Route convert(const _Routino_Output* list)
{
    Route route;
    std::size_t entry = 0;   // the turn entering the roundabout being driven round
    bool round = false;
    int passed = 0;
    for (const Routino_Output* p = list; p; p = p->next) {
        RoutePoint point;
        point.lat = double(p->lat) * degrees;
        point.lon = double(p->lon) * degrees;
        point.metres = double(p->dist) * 1000;
        point.seconds = double(p->time) * 60;
        route.points.push_back(point);
        if (p->type == ROUTINO_POINT_RB_NOT_EXIT)
            ++passed;
        if (p->type < ROUTINO_POINT_CHANGE)
            continue;
        RouteTurn turn;
        turn.kind = kind(p->type, route.turns.empty());
        turn.point = route.points.size() - 1;
        turn.angle = p->turn;
        turn.bearing = p->bearing;
        name(p->name, &turn);
        if (p->type == ROUTINO_POINT_RB_ENTRY) {
            entry = route.turns.size();
            round = true;
            passed = 0;
        } else if (p->type == ROUTINO_POINT_RB_EXIT && round) {
            turn.exit = route.turns[entry].exit = passed + 1;
            round = false;
        }
        route.turns.push_back(turn);
    }
    return route;
}

} // namespace RouteList
