#include "ZoomFunction.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace {

bool fail(std::string* error, const std::string& why)
{
    *error = why;
    return false;
}

bool finiteNumber(const nlohmann::json& j)
{
    return j.is_number() && std::isfinite(j.get<double>());
}

} // namespace

bool ZoomFunction::parseStops(const nlohmann::json& json, bool colours, std::string* error)
{
    if (json.contains("base")) {
        if (!finiteNumber(json["base"]) || json["base"].get<double>() <= 0)
            return fail(error, "a base that is not a positive number");
        base = json["base"].get<double>();
    }
    const auto found = json.find("stops");
    if (found == json.end() || !found->is_array() || found->empty() || found->size() > 64)
        return fail(error, "stops missing or not a list of 1 to 64");
    for (const nlohmann::json& s : *found) {
        if (!s.is_array() || s.size() != 2 || !finiteNumber(s[0]))
            return fail(error, "a stop that is not [zoom, value]");
        Stop stop{s[0].get<double>(), 0, {}};
        if (!stops.empty() && stop.zoom < stops.back().zoom)
            return fail(error, "stops out of zoom order");
        if (colours ? !(s[1].is_string() && StyleColour::parse(s[1].get<std::string>(), &stop.colour))
                    : !finiteNumber(s[1]))
            return fail(error, colours ? "a stop whose value is not a colour" : "a stop whose value is not a number");
        if (!colours)
            stop.number = s[1].get<double>();
        stops.push_back(stop);
    }
    return true;
}

bool ZoomFunction::parseNumber(const nlohmann::json& json, std::string* error)
{
    stops.clear();
    if (finiteNumber(json)) {
        stops.push_back({0, json.get<double>(), {}});
        return true;
    }
    if (json.is_object())
        return parseStops(json, false, error);
    return fail(error, "not a number");
}

bool ZoomFunction::parseColour(const nlohmann::json& json, std::string* error)
{
    stops.clear();
    StyleColour c;
    if (json.is_string() && StyleColour::parse(json.get<std::string>(), &c)) {
        stops.push_back({0, 0, c});
        return true;
    }
    if (json.is_object())
        return parseStops(json, true, error);
    return fail(error, "not a colour");
}

void ZoomFunction::darken()
{
    for (Stop& s : stops)
        s.colour = s.colour.dark();
}

std::size_t ZoomFunction::locate(double zoom, double* t) const
{
    *t = 0;
    if (zoom <= stops.front().zoom)
        return 0;
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        const double z0 = stops[i].zoom, z1 = stops[i + 1].zoom;
        if (zoom >= z1)
            continue;
        const double span = z1 - z0, at = zoom - z0;
        if (span <= 0)
            return i + 1;
        *t = base == 1 ? at / span : (std::pow(base, at) - 1) / (std::pow(base, span) - 1);
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
    return t == 0 ? stops[i].number : stops[i].number + (stops[i + 1].number - stops[i].number) * t;
}

StyleColour ZoomFunction::colour(double zoom) const
{
    if (stops.empty())
        return StyleColour{0, 0, 0, 0};
    double t;
    const std::size_t i = locate(zoom, &t);
    return t == 0 ? stops[i].colour : stops[i].colour.mix(stops[i + 1].colour, t);
}
