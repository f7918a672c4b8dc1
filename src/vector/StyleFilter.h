#ifndef TESSEL_STYLEFILTER_H
#define TESSEL_STYLEFILTER_H

#include "StyleSlots.h"
#include "VectorTile.h"

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

// One feature as filters and labels see it: its layer, and where each of
// the style's property names (by slot) is among the layer's keys.
struct FeatureView {
    const VectorLayer* layer;
    const VectorFeature* feature;
    const std::vector<int>* keyOfSlot;

    const VectorValue* get(int slot) const { return layer->value(*feature, (*keyOfSlot)[static_cast<std::size_t>(slot)]); }
};

// A style layer's filter: "all", "any", "none", "==", "!=", "in", "!in",
// "has", "!has", "<", "<=", ">", ">="; a property is named directly or as
// ["get", name]; "$type" (or ["geometry-type"]) is the geometry's kind.
// Property names become slots of the style (`slots`), so a feature is
// looked up by index rather than by name.
class StyleFilter {
public:
    // False, with *error saying why, for a filter outside that list.
    bool parse(const nlohmann::json& json, StyleSlots* slots, std::string* error);
    bool matches(const FeatureView& f) const;

private:
    bool parseAt(const nlohmann::json& json, StyleSlots* slots, std::string* error, std::size_t depth);
    enum class Op { always, all, any, none, eq, ne, in, notIn, has, notHas, lt, le, gt, ge };
    bool parseOperand(const nlohmann::json& json, StyleSlots* slots, std::string* error);
    bool compare(const VectorValue* v) const;

    Op op = Op::always;
    int slot = -1; // -1: the geometry type
    std::vector<VectorValue> values;
    std::vector<StyleFilter> children;
};

#endif
