#include "RouteOutput.h"

#include <nlohmann/json.hpp>

namespace RouteOutput {

namespace {

const char* const kinds[] = {"start", "junction", "roundabout", "leave-roundabout", "mini-roundabout", "u-turn",
                             "arrive"};

} // namespace

std::string title(const TurnText::Texts& texts, const Route& route, const RouteProfile& profile)
{
    return TurnText::distance(texts, route.metres()) + ", " + TurnText::duration(texts, route.seconds()) + " (" +
           profile.name() + ", " + (profile.shortest ? "shortest" : "quickest") + ")";
}

std::string plain(const TurnText::Texts& texts, const Route& route, const RouteProfile& profile)
{
    std::string out = title(texts, route, profile) + "\n";
    for (std::size_t i = 0; i < route.turns.size(); ++i)
        out += std::to_string(i + 1) + ". " + TurnText::describe(texts, route, i) + "\n";
    return out;
}

std::string json(const TurnText::Texts& texts, const Route& route, const RouteProfile& profile)
{
    nlohmann::json turns = nlohmann::json::array(), line = nlohmann::json::array();
    for (std::size_t i = 0; i < route.turns.size(); ++i) {
        const RouteTurn& t = route.turns[i];
        const RoutePoint& p = route.points[t.point];
        turns.push_back({{"lat", p.lat},
                         {"lon", p.lon},
                         {"metres", p.metres},
                         {"seconds", p.seconds},
                         {"kind", kinds[t.kind]},
                         {"angle", t.angle},
                         {"bearing", t.bearing},
                         {"exit", t.exit},
                         {"way", t.way},
                         {"text", TurnText::describe(texts, route, i)}});
    }
    for (const RoutePoint& p : route.points)
        line.push_back({p.lat, p.lon});
    const nlohmann::json out = {{"profile", profile.name()},
                                {"shortest", profile.shortest},
                                {"metres", route.metres()},
                                {"seconds", route.seconds()},
                                {"turns", turns},
                                {"line", line}};
    // Way names come from the data: bytes that are not UTF-8 are replaced, not thrown on.
    return out.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

} // namespace RouteOutput
