#ifndef TESSEL_ZOOMFUNCTION_H
#define TESSEL_ZOOMFUNCTION_H

#include "StyleColour.h"

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

// A style property that may change with the zoom level: a constant;
// stops ({"base": b, "stops": [[zoom, value], ...]}, "type": "interval"
// for steps); or the expressions ["interpolate", ["linear"] or
// ["exponential", b], ["zoom"], zoom, value, ...] and ["step", ["zoom"],
// value, zoom, value, ...]. Interpolation is exponential with base b (1:
// linear), held beyond the ends; colours interpolate channel by channel
// (also for interpolate-hcl and -lab; cubic-bezier is taken as linear:
// near enough on a small screen). At most 64 stops.
class ZoomFunction {
public:
    ZoomFunction() = default;
    explicit ZoomFunction(double constant) { stops.push_back({0, constant, {}}); }
    explicit ZoomFunction(const StyleColour& constant) { stops.push_back({0, 0, constant}); }

    // False, with *error saying why, when `json` is neither a value of the
    // kind asked for nor stops of such values.
    bool parseNumber(const nlohmann::json& json, std::string* error);
    bool parseColour(const nlohmann::json& json, std::string* error);
    // Every colour turned dark (StyleColour::dark).
    void darken();

    bool empty() const { return stops.empty(); }
    double number(double zoom) const;
    StyleColour colour(double zoom) const;

private:
    struct Stop {
        double zoom;
        double number;
        StyleColour colour;
    };
    bool parse(const nlohmann::json& json, bool colours, std::string* error);
    bool parseStops(const nlohmann::json& json, bool colours, std::string* error);
    bool parseExpression(const nlohmann::json& json, bool colours, std::string* error);
    // One stop's value into *stop; false when it is not of the kind asked for.
    static bool parseValue(const nlohmann::json& json, bool colours, Stop* stop);
    // The stop before `zoom` and how far toward the next one it lies.
    std::size_t locate(double zoom, double* t) const;

    double base = 1;
    bool stepped = false; // each stop's value held up to the next
    std::vector<Stop> stops;
};

#endif
