#include "LabelPlacer.h"

#include "GlyphCache.h"
#include "Utf8.h"

#include <algorithm>
#include <cmath>

namespace {

const double padding = 2;

bool overlap(const PlacedLabel& a, const PlacedLabel& b)
{
    return a.x < b.x + b.width + padding && b.x < a.x + a.width + padding && a.y < b.y + b.height + padding &&
           b.y < a.y + a.height + padding;
}

// text-halo-width, kept within what a small label can carry.
double haloOf(const StyleLayer& s, double zoom)
{
    return std::max(0.0, std::min(8.0, s.haloWidth.number(zoom)));
}

} // namespace

void LabelPlacer::offer(const StyleLayer& style, std::size_t layerIndex, double sortKey, const std::string& text,
                        double x, double y)
{
    if (candidates.size() >= maxCandidates || x < 0 || y < 0 || x >= size || y >= size || text.size() > maxText ||
        !Utf8::valid(text))
        return;
    candidates.push_back({&style, layerIndex, sortKey, candidates.size(), text, x, y, {}});
}

void LabelPlacer::offerLine(const StyleLayer& style, std::size_t layerIndex, double sortKey, const std::string& text,
                            std::vector<StraightRun::Point> line)
{
    if (candidates.size() >= maxCandidates || line.size() < 2 || text.size() > maxText || !Utf8::valid(text))
        return;
    candidates.push_back({&style, layerIndex, sortKey, candidates.size(), text, 0, 0, std::move(line)});
}

bool LabelPlacer::lay(const Candidate& c, const cairo_text_extents_t& e, double halo, PlacedLabel* label,
                      std::vector<PlacedLabel>* boxes) const
{
    const double length = e.width + 2 * halo, height = e.height + 2 * halo;
    boxes->clear();
    if (c.line.empty()) {
        *label = PlacedLabel{c.text, c.x - length / 2, c.y - height / 2, length, height, 0};
        boxes->push_back(*label);
        return true;
    }
    const StraightRun run = StraightRun::longest(c.line, std::max(1.5, height / 4));
    if (run.length < length + 2 * padding)
        return false;
    StraightRun::Point a = c.line[run.first], b = c.line[run.last];
    if (b.x < a.x)
        std::swap(a, b); // never upside down
    const double ux = (b.x - a.x) / run.length, uy = (b.y - a.y) / run.length;
    const double cx = (a.x + b.x) / 2, cy = (a.y + b.y) / 2;
    const int pieces = static_cast<int>(std::ceil(length / height));
    const double piece = length / pieces;
    const double halfX = (std::fabs(ux) * piece + std::fabs(uy) * height) / 2;
    const double halfY = (std::fabs(uy) * piece + std::fabs(ux) * height) / 2;
    for (int i = 0; i < pieces; ++i) {
        const double along = -length / 2 + (i + 0.5) * piece;
        boxes->push_back(PlacedLabel{c.text, cx + ux * along - halfX, cy + uy * along - halfY, 2 * halfX, 2 * halfY, 0});
    }
    const double halfW = (std::fabs(ux) * length + std::fabs(uy) * height) / 2;
    const double halfH = (std::fabs(uy) * length + std::fabs(ux) * height) / 2;
    *label = PlacedLabel{c.text, cx - halfW, cy - halfH, 2 * halfW, 2 * halfH, std::atan2(uy, ux)};
    return true;
}

bool LabelPlacer::fits(const PlacedLabel& label, const std::vector<PlacedLabel>& boxes) const
{
    for (const PlacedLabel& box : boxes) {
        if (box.x < 0 || box.y < 0 || box.x + box.width > size || box.y + box.height > size)
            return false;
        for (const PlacedLabel& other : taken)
            if (overlap(box, other))
                return false;
    }
    for (const PlacedLabel& other : taken) {
        const double dx = (label.x + label.width / 2) - (other.x + other.width / 2);
        const double dy = (label.y + label.height / 2) - (other.y + other.height / 2);
        if (other.text == label.text && std::hypot(dx, dy) < VectorRenderer::repeatDistance)
            return false;
    }
    return true;
}

void LabelPlacer::drawText(const Candidate& c, const GlyphCache::Shaped& shaped, double zoom, const PlacedLabel& label)
{
    const cairo_text_extents_t& e = shaped.extents;
    cairo_save(cr);
    cairo_translate(cr, label.x + label.width / 2, label.y + label.height / 2);
    if (label.angle != 0)
        cairo_rotate(cr, label.angle);
    cairo_translate(cr, -e.width / 2 - e.x_bearing, -e.height / 2 - e.y_bearing);
    cairo_append_path(cr, shaped.outline.get());
    cairo_restore(cr);
    const double halo = haloOf(*c.style, zoom);
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
    taken.clear();
    std::vector<PlacedLabel> boxes;
    for (const Candidate& c : candidates) {
        const double textSize = c.style->textSize.number(zoom);
        if (!(textSize >= 4 && textSize <= 64))
            continue;
        const GlyphCache::Shaped* shaped = GlyphCache::forThisThread().shape(c.text, textSize, c.style->bold);
        if (!shaped || shaped->extents.width <= 0)
            continue;
        const double halo = haloOf(*c.style, zoom);
        PlacedLabel label;
        if (!lay(c, shaped->extents, halo, &label, &boxes) || !fits(label, boxes))
            continue;
        drawText(c, *shaped, zoom, label);
        taken.insert(taken.end(), boxes.begin(), boxes.end());
        if (placed)
            placed->push_back(label);
    }
}
