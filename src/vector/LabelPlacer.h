#ifndef TESSEL_LABELPLACER_H
#define TESSEL_LABELPLACER_H

#include "GlyphCache.h"
#include "StraightRun.h"
#include "StyleLayer.h"
#include "VectorRenderer.h"

#include <cairo.h>
#include <string>
#include <vector>

// Labels of one picture: offered in any order, then placed by importance
// (later style layers first, then lower sort keys, then the order
// offered) where they fit wholly inside the picture and clear of the
// labels placed before them, and drawn with their halo. A label along a
// line lies on the line's longest straight run (StraightRun) when the
// text fits on it, centred, turned to read left to right; its room is a
// row of boxes along it, as wide as the text is high.
class LabelPlacer {
public:
    // Candidates past this many are not considered.
    static constexpr std::size_t maxCandidates = 2000;
    static constexpr std::size_t maxText = 200; // bytes

    LabelPlacer(cairo_t* cr, int size) : cr(cr), size(size) {}

    void offer(const StyleLayer& style, std::size_t layerIndex, double sortKey, const std::string& text, double x,
               double y);
    // A label along a line of points in pixels.
    void offerLine(const StyleLayer& style, std::size_t layerIndex, double sortKey, const std::string& text,
                   std::vector<StraightRun::Point> line);
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
        std::vector<StraightRun::Point> line; // empty: a point label at (x, y)
    };
    // Where the label goes: its centre, its angle and the boxes it takes;
    // false when it has no room on its line.
    bool lay(const Candidate& c, const cairo_text_extents_t& e, double halo, PlacedLabel* label,
             std::vector<PlacedLabel>* boxes) const;
    bool fits(const PlacedLabel& label, const std::vector<PlacedLabel>& boxes) const;
    void drawText(const Candidate& c, const GlyphCache::Shaped& shaped, double zoom, const PlacedLabel& label);

    cairo_t* cr;
    int size;
    std::vector<Candidate> candidates;
    std::vector<PlacedLabel> taken; // the boxes of the labels placed
};

#endif
