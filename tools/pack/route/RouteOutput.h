#ifndef TESSEL_PACK_ROUTEOUTPUT_H
#define TESSEL_PACK_ROUTEOUTPUT_H

#include "Route.h"
#include "RouteProfile.h"
#include "TurnText.h"

#include <string>

// A route printed for people (totals, then one numbered line per turn) or
// for scripts (JSON: totals in metres and seconds, the turns, the line).
namespace RouteOutput {

std::string title(const TurnText::Texts& texts, const Route& route, const RouteProfile& profile);
std::string plain(const TurnText::Texts& texts, const Route& route, const RouteProfile& profile);
std::string json(const TurnText::Texts& texts, const Route& route, const RouteProfile& profile);

} // namespace RouteOutput

#endif
