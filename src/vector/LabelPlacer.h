#ifndef TESSEL_LABELPLACER_H
#define TESSEL_LABELPLACER_H

#include "GlyphCache.h"
#include "StyleLayer.h"
#include "VectorRenderer.h"

#include <cairo.h>
#include <string>
#include <vector>

// Point labels of one picture: offered in any order, then placed by
// importance (later style layers first, then lower sort keys, then the
// order offered) where they fit wholly inside the picture and clear of the
// labels placed before them, and drawn with their halo.
class LabelPlacer {
public:
    // Candidates past this many are not considered.
    static constexpr std::size_t maxCandidates = 2000;
    static constexpr std::size_t maxText = 200; // bytes

    LabelPlacer(cairo_t* cr, int size) : cr(cr), size(size) {}

    void offer(const StyleLayer& style, std::size_t layerIndex, double sortKey, const std::string& text, double x,
               double y);
    // Places and draws; what was placed is appended to *placed when not null.
    void place(double zoom, std::vector<PlacedLabel>* placed);

private:
    struct Candidate {
        const StyleLayer* style;
        std::size_t layerIndex;
        double sortKey;
        std::size_t order;
        std::string text;
        double x, y;
    };
    bool fits(const PlacedLabel& box, const std::vector<PlacedLabel>& taken) const;
    void drawText(const Candidate& c, const GlyphCache::Shaped& shaped, double zoom, double left, double baseline);

    cairo_t* cr;
    int size;
    std::vector<Candidate> candidates;
};

#endif
