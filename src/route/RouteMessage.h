#ifndef TESSEL_ROUTEMESSAGE_H
#define TESSEL_ROUTEMESSAGE_H

#include "RouteRequest.h"
#include "TurnText.h"

#include <string>

// What the viewer shows about a route, in the language files' words: why
// there is none, the line while it is computed, its totals. (The room's own
// reasons, in English, go to standard error beside it.)
namespace RouteMessage {

std::string outcome(const TurnText::Texts& texts, const RouteResult& result);
std::string computing(const TurnText::Texts& texts, double progress);
std::string summary(const TurnText::Texts& texts, const Route& route);

} // namespace RouteMessage

#endif
