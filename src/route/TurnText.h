#ifndef TESSEL_TURNTEXT_H
#define TESSEL_TURNTEXT_H

#include "Route.h"

#include <functional>
#include <string>

// The words of a route, from the program's language files (text ids
// "route_..."): built from the turn's angle, the roundabout's exit and the
// way's name or class, so every language says all of it in its own words.
namespace TurnText {

// A text by its id (Lang::value in the viewer).
using Texts = std::function<std::string(const std::string&)>;

// What to do at turn `index`: "in 350 m turn left onto Carrer Major"
// (the distance from the turn before; none for the start).
std::string describe(const Texts& texts, const Route& route, std::size_t index);
// What to do at turn `index` when it is `metres` ahead (the line shown
// while a fix follows the route): "in 120 m turn left onto Carrer Major".
std::string ahead(const Texts& texts, const Route& route, std::size_t index, double metres);
// "350 m", "1.2 km", "12 km".
std::string distance(const Texts& texts, double metres);
// "25 min", "1 h 05 min".
std::string duration(const Texts& texts, double seconds);

} // namespace TurnText

#endif
