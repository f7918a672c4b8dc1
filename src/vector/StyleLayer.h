#ifndef TESSEL_STYLELAYER_H
#define TESSEL_STYLELAYER_H

#include "LabelLanguage.h"
#include "StyleFilter.h"
#include "ZoomFunction.h"

#include <string>
#include <vector>

// A label's text: alternatives tried in order, the first that comes out
// non-empty and drawable wins; each a template of literal text and
// property slots ("{name}" or ["get", "name"]; ["coalesce", ...] gives
// alternatives). The names of the chosen label language go first.
struct TextField {
    struct Piece {
        std::string literal;
        int slot = -1; // -1: literal text
    };
    std::vector<std::vector<Piece>> alternatives;
    std::vector<LabelLanguage::Choice> languages; // of each alternative: the kind of name it takes

    // The alternatives' order for a label language.
    std::vector<std::size_t> order(LabelLanguage::Choice language) const;
    // The first alternative in `order` that comes out non-empty and
    // drawable; else the first non-empty one; else empty.
    std::string text(const FeatureView& f, const std::vector<std::size_t>& order,
                     bool (*drawable)(const std::string&)) const;
    // Whether some alternative has every property it takes: asked before
    // the layer's filter, which costs more, as most features have no name.
    bool present(const FeatureView& f) const;
    // One alternative; empty when a property it takes is missing.
    std::string alternative(std::size_t i, const FeatureView& f) const;
};

// One layer of a style (the part of the MapLibre GL style format this
// viewer draws): a background, an area fill, a line, or a point label.
struct StyleLayer {
    enum class Type { background, fill, line, symbol };
    Type type = Type::fill;
    std::string id;
    std::string sourceLayer; // empty: features of every layer
    double minZoom = 0, maxZoom = 99;
    StyleFilter filter;

    ZoomFunction colour;             // background-, fill-, line- or text-color
    ZoomFunction opacity{1.0};       // fill-, line- or text-opacity
    ZoomFunction outline;            // fill-outline-color (empty: none)
    ZoomFunction width{1.0};         // line-width
    std::vector<double> dashes;      // line-dasharray, in line widths
    bool roundCaps = false;          // line-cap round

    TextField text;                  // text-field
    ZoomFunction textSize{12.0};
    ZoomFunction haloColour;         // text-halo-color (empty: none)
    ZoomFunction haloWidth{0.0};
    bool bold = false;               // a "Bold" face in text-font
    bool alongLine = false;          // symbol-placement line: labels of lines, along them
    double sortKey = 0;              // symbol-sort-key: lower is placed first
    int sortSlot = -1;               // or a property's value

    bool shownAt(double zoom) const { return zoom >= minZoom && zoom < maxZoom; }
};

#endif
