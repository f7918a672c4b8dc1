#include "RouteMessage.h"

#include <cmath>

namespace RouteMessage {

std::string outcome(const TurnText::Texts& texts, const RouteResult& result)
{
    if (result.data == RouteResult::noneCovering)
        return texts("route_no_data");
    if (result.data == RouteResult::unusable)
        return texts("route_bad_data");
    switch (result.outcome) {
    case Router::found:
        return summary(texts, result.route);
    case Router::noRoadNearStart:
        return texts("route_no_road_start");
    case Router::noRoadNearEnd:
        return texts("route_no_road_end");
    case Router::notConnected:
        return texts("route_not_connected");
    case Router::cancelled:
        return texts("route_cancelled");
    case Router::badProfile:
        return texts("route_bad_profile");
    default:
        return texts("route_failed");
    }
}

std::string computing(const TurnText::Texts& texts, double progress)
{
    std::string text = texts("route_computing");
    const std::string mark = "{percent}";
    const std::size_t at = text.find(mark);
    if (at != std::string::npos)
        text.replace(at, mark.size(), std::to_string(std::lround(std::min(1.0, std::max(0.0, progress)) * 100)));
    return text;
}

std::string summary(const TurnText::Texts& texts, const Route& route)
{
    return TurnText::distance(texts, route.metres()) + ", " + TurnText::duration(texts, route.seconds());
}

} // namespace RouteMessage
