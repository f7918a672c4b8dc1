#include "ZoomFunction.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace {

using json = nlohmann::json;

const std::size_t maxStops = 64;

bool fail(std::string* error, const std::string& why)
{
    *error = why;
    return false;
}

bool finiteNumber(const json& j)
{
    return j.is_number() && std::isfinite(j.get<double>());
}

std::string headOf(const json& j)
{
    return j.is_array() && !j.empty() && j[0].is_string() ? j[0].get<std::string>() : std::string();
}

} // namespace

bool ZoomFunction::parseValue(const json& j, bool colours, Stop* stop)
{
    if (colours)
        return j.is_string() && StyleColour::parse(j.get<std::string>(), &stop->colour);
    if (!finiteNumber(j))
        return false;
    stop->number = j.get<double>();
    return true;
}

// ["interpolate", how, ["zoom"], z1, v1, ...] or ["step", ["zoom"], v0, z1, v1, ...]:
// either way the zoom/value pairs start at the fourth element.
bool ZoomFunction::parseExpression(const json& j, bool colours, std::string* error)
{
    const std::string op = headOf(j);
    const bool step = op == "step";
    if (!step && op != "interpolate" && op != "interpolate-hcl" && op != "interpolate-lab")
        return fail(error, "an expression other than interpolate or step");
    const std::size_t first = 3;
    if (j.size() < first + 2 || (j.size() - first) % 2 != 0 || (j.size() - first) / 2 > maxStops)
        return fail(error, op + " without 1 to " + std::to_string(maxStops) + " pairs of zoom and value");
    const json& input = j[step ? 1 : 2];
    if (!(input.is_array() && input.size() == 1 && input[0] == "zoom"))
        return fail(error, op + " of something other than [\"zoom\"]");
    if (!step) {
        const json& how = j[1];
        const std::string kind = headOf(how);
        if (kind == "exponential" && how.size() == 2 && finiteNumber(how[1]) && how[1].get<double>() > 0)
            base = how[1].get<double>();
        else if (!(kind == "linear" && how.size() == 1) && kind != "cubic-bezier")
            return fail(error, "an interpolation other than linear, exponential or cubic-bezier");
    }
    stepped = step;
    if (step) {
        // The value below the first zoom.
        Stop below{-1e9, 0, {}};
        if (!parseValue(j[2], colours, &below))
            return fail(error, "step value that is not " + std::string(colours ? "a colour" : "a number"));
        stops.push_back(below);
    }
    for (std::size_t i = first; i + 1 < j.size(); i += 2) {
        Stop stop{0, 0, {}};
        if (!finiteNumber(j[i]) || (!stops.empty() && j[i].get<double>() <= stops.back().zoom))
            return fail(error, op + " zooms that are not rising numbers");
        stop.zoom = j[i].get<double>();
        if (!parseValue(j[i + 1], colours, &stop))
            return fail(error, op + " value that is not " + std::string(colours ? "a colour" : "a number"));
        stops.push_back(stop);
    }
    return true;
}

bool ZoomFunction::parseStops(const json& j, bool colours, std::string* error)
{
    if (j.contains("property"))
        return fail(error, "a function of a feature's property, not of the zoom");
    if (j.contains("type")) {
        stepped = j["type"] == "interval";
        if (!stepped && j["type"] != "exponential")
            return fail(error, "a function type other than exponential or interval");
    }
    if (j.contains("base")) {
        if (!finiteNumber(j["base"]) || j["base"].get<double>() <= 0)
            return fail(error, "a base that is not a positive number");
        base = j["base"].get<double>();
    }
    const auto found = j.find("stops");
    if (found == j.end() || !found->is_array() || found->empty() || found->size() > maxStops)
        return fail(error, "stops missing or not a list of 1 to " + std::to_string(maxStops));
    for (const json& s : *found) {
        if (!s.is_array() || s.size() != 2 || !finiteNumber(s[0]))
            return fail(error, "a stop that is not [zoom, value]");
        Stop stop{s[0].get<double>(), 0, {}};
        if (!stops.empty() && stop.zoom < stops.back().zoom)
            return fail(error, "stops out of zoom order");
        if (!parseValue(s[1], colours, &stop))
            return fail(error, colours ? "a stop whose value is not a colour" : "a stop whose value is not a number");
        stops.push_back(stop);
    }
    return true;
}

bool ZoomFunction::parse(const json& j, bool colours, std::string* error)
{
    *this = ZoomFunction();
    Stop constant{0, 0, {}};
    if (parseValue(j, colours, &constant)) {
        stops.push_back(constant);
        return true;
    }
    if (j.is_object())
        return parseStops(j, colours, error);
    if (j.is_array() && !j.empty())
        return parseExpression(j, colours, error);
    return fail(error, colours ? "not a colour" : "not a number");
}

bool ZoomFunction::parseNumber(const json& j, std::string* error)
{
    const bool ok = parse(j, false, error);
    if (!ok)
        *this = ZoomFunction();
    return ok;
}

bool ZoomFunction::parseColour(const json& j, std::string* error)
{
    const bool ok = parse(j, true, error);
    if (!ok)
        *this = ZoomFunction();
    return ok;
}

void ZoomFunction::darken()
{
    for (Stop& s : stops)
        s.colour = s.colour.dark();
}

std::size_t ZoomFunction::locate(double zoom, double* t) const
{
    *t = 0;
    if (!(zoom > stops.front().zoom))
        return 0;
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        const double z0 = stops[i].zoom, z1 = stops[i + 1].zoom;
        if (zoom >= z1)
            continue;
        const double span = z1 - z0, at = zoom - z0;
        if (stepped)
            return i;
        if (span <= 0)
            return i + 1;
        const double whole = std::pow(base, span);
        // A large base overflows base^span; the ratio is then base^(at - span).
        *t = base == 1 ? at / span : std::isinf(whole) ? std::pow(base, at - span) : (std::pow(base, at) - 1) / (whole - 1);
        *t = std::isfinite(*t) ? std::max(0.0, std::min(1.0, *t)) : 0;
        return i;
    }
    return stops.size() - 1;
}

double ZoomFunction::number(double zoom) const
{
    if (stops.empty())
        return 0;
    double t;
    const std::size_t i = locate(zoom, &t);
    // Weighted, not a + (b - a) t: no overflow between values near the largest double.
    return t == 0 ? stops[i].number : stops[i].number * (1 - t) + stops[i + 1].number * t;
}

StyleColour ZoomFunction::colour(double zoom) const
{
    if (stops.empty())
        return StyleColour{0, 0, 0, 0};
    double t;
    const std::size_t i = locate(zoom, &t);
    return t == 0 ? stops[i].colour : stops[i].colour.mix(stops[i + 1].colour, t);
}
