#ifndef TESSEL_ZOOMFUNCTION_H
#define TESSEL_ZOOMFUNCTION_H

#include "StyleColour.h"

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

// A style property that may change with the zoom level: a constant, or
// stops ({"base": b, "stops": [[zoom, value], ...]}) interpolated
// exponentially with base b (1: linearly) and held beyond the ends.
// Colours interpolate channel by channel.
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
    bool parseStops(const nlohmann::json& json, bool colours, std::string* error);
    // The stop before `zoom` and how far toward the next one it lies.
    std::size_t locate(double zoom, double* t) const;

    double base = 1;
    std::vector<Stop> stops;
};

#endif
