#ifndef TESSEL_VECTORSTYLE_H
#define TESSEL_VECTORSTYLE_H

#include "StyleLayer.h"

#include <string>
#include <vector>

// How vector tiles are drawn: style layers in drawing order, read from a
// MapLibre GL style JSON file (the subset StyleLayer describes). Layers
// the viewer cannot draw or that hold errors are skipped, each with one
// line in `skipped`; a file that is not a style at all is refused.
class VectorStyle {
public:
    static constexpr std::size_t maxBytes = 4u << 20;
    static constexpr std::size_t maxLayers = 1000;

    static bool parse(const std::string& json, VectorStyle* out, std::string* error);
    static bool load(const std::string& path, VectorStyle* out, std::string* error);
    // Every colour turned for a dark map.
    void darken();
    // The source layers its layers draw; empty when one draws every layer.
    std::vector<std::string> sourceLayers() const;

    std::string name;
    // The source layers of the schema this style is made for
    // ("metadata": {"tessel:schema": [...]}): how a style is chosen.
    std::vector<std::string> schema;
    std::vector<StyleLayer> layers;
    StyleSlots slots; // the property names filters and labels use
    std::vector<std::string> skipped;
};

#endif
