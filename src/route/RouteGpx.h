#ifndef TESSEL_ROUTEGPX_H
#define TESSEL_ROUTEGPX_H

#include "Route.h"
#include "TurnText.h"

#include <string>

// A route as GPX 1.1: a `rte` whose points are the turns, named by their
// texts, and a `trk` of the whole line.
namespace RouteGpx {

std::string text(const Route& route, const TurnText::Texts& texts, const std::string& name);
// Writes it crash-safely: the whole file is synced under a hidden name in
// the same folder and renamed over `path`, so `path` never holds a part.
bool save(const std::string& path, const std::string& text, std::string* why);

} // namespace RouteGpx

#endif
