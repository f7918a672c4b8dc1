#include "LabelPlacer.h"

#include "GlyphCache.h"

#include <algorithm>
#include <cmath>

namespace {

const double padding = 2;

bool overlap(const PlacedLabel& a, const PlacedLabel& b)
{
    return a.x < b.x + b.width + padding && b.x < a.x + a.width + padding && a.y < b.y + b.height + padding &&
           b.y < a.y + a.height + padding;
}

// Cairo stops drawing for good after text that is not UTF-8.
bool validUtf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += n;
    }
    return true;
}

} // namespace

void LabelPlacer::offer(const StyleLayer& style, std::size_t layerIndex, double sortKey, const std::string& text,
                        double x, double y)
{
    if (candidates.size() >= maxCandidates || x < 0 || y < 0 || x >= size || y >= size || text.size() > maxText ||
        !validUtf8(text))
        return;
    candidates.push_back({&style, layerIndex, sortKey, candidates.size(), text, x, y});
}

bool LabelPlacer::fits(const PlacedLabel& box, const std::vector<PlacedLabel>& taken) const
{
    if (box.x < 0 || box.y < 0 || box.x + box.width > size || box.y + box.height > size)
        return false;
    for (const PlacedLabel& other : taken) {
        if (overlap(box, other))
            return false;
        const double dx = (box.x + box.width / 2) - (other.x + other.width / 2);
        const double dy = (box.y + box.height / 2) - (other.y + other.height / 2);
        if (other.text == box.text && std::hypot(dx, dy) < VectorRenderer::repeatDistance)
            return false;
    }
    return true;
}

void LabelPlacer::drawText(const Candidate& c, const GlyphCache::Shaped& shaped, double zoom, double left,
                           double baseline)
{
    GlyphCache::path(cr, shaped, left, baseline);
    const double halo = c.style->haloWidth.number(zoom);
    const double opacity = c.style->opacity.number(zoom);
    if (halo > 0 && !c.style->haloColour.empty()) {
        const StyleColour h = c.style->haloColour.colour(zoom);
        cairo_set_source_rgba(cr, h.r, h.g, h.b, h.a * opacity);
        cairo_set_line_width(cr, 2 * halo);
        cairo_set_dash(cr, nullptr, 0, 0);
        cairo_stroke_preserve(cr);
    }
    const StyleColour t = c.style->colour.colour(zoom);
    cairo_set_source_rgba(cr, t.r, t.g, t.b, t.a * opacity);
    cairo_fill(cr);
}

void LabelPlacer::place(double zoom, std::vector<PlacedLabel>* placed)
{
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.layerIndex != b.layerIndex)
            return a.layerIndex > b.layerIndex;
        if (a.sortKey != b.sortKey)
            return a.sortKey < b.sortKey;
        return a.order < b.order;
    });
    std::vector<PlacedLabel> taken;
    for (const Candidate& c : candidates) {
        const double textSize = c.style->textSize.number(zoom);
        if (!(textSize >= 4 && textSize <= 64))
            continue;
        const GlyphCache::Shaped* shaped = GlyphCache::forThisThread().shape(cr, c.text, textSize, c.style->bold);
        if (!shaped)
            continue;
        const cairo_text_extents_t& e = shaped->extents;
        const double halo = std::max(0.0, std::min(8.0, c.style->haloWidth.number(zoom)));
        PlacedLabel box{c.text, c.x - e.width / 2 - halo, c.y - e.height / 2 - halo, e.width + 2 * halo,
                        e.height + 2 * halo};
        if (e.width <= 0 || !fits(box, taken))
            continue;
        drawText(c, *shaped, zoom, box.x + halo - e.x_bearing, box.y + halo - e.y_bearing);
        taken.push_back(box);
    }
    if (placed)
        placed->insert(placed->end(), taken.begin(), taken.end());
}
