#include "VectorRenderer.h"

#include "DrawingWork.h"
#include "FontChain.h"
#include "LabelPlacer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace VectorRenderer {

namespace {

const StyleColour paper{0.97, 0.96, 0.94, 1};

// From a layer's tile coordinates to the picture's pixels.
struct Projection {
    double scale = 1, offsetX = 0, offsetY = 0;
    double minX = 0, minY = 0, maxX = 0, maxY = 0; // the picture in tile coordinates

    Projection(const VectorLayer& layer, const TileView& view)
    {
        const double squares = std::ldexp(1.0, view.overZoom);
        scale = view.size * squares / layer.extent;
        offsetX = -static_cast<double>(view.subX) * view.size;
        offsetY = -static_cast<double>(view.subY) * view.size;
        minX = -offsetX / scale;
        minY = -offsetY / scale;
        maxX = minX + view.size / scale;
        maxY = minY + view.size / scale;
    }
    double x(std::int32_t v) const { return v * scale + offsetX; }
    double y(std::int32_t v) const { return v * scale + offsetY; }
    // True when the feature's box, grown by `margin` pixels, meets the picture.
    bool meets(const VectorFeature& f, double margin) const
    {
        const double m = margin / scale;
        return f.maxX >= minX - m && f.minX <= maxX + m && f.maxY >= minY - m && f.minY <= maxY + m;
    }
};

void setColour(cairo_t* cr, const StyleColour& c, double opacity)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a * opacity);
}

// How a layer's path is priced: its edges filled, stroked or both.
struct Pricing {
    bool fill = false, stroke = false;
    double reach = 0; // half the stroke's width
};

// A feature's parts into the path, simplified to the pixel grid (a point
// within half a pixel of the last one drawn adds nothing visible), each
// edge priced; returns the length drawn (pixels).
double addPath(cairo_t* cr, const VectorFeature& f, const Projection& p, bool closeRings, const Pricing& price,
               DrawingWork* work)
{
    double length = 0;
    std::uint32_t begin = 0;
    for (const VectorPart& part : f.parts) {
        double lastX = p.x(f.points[begin].x), lastY = p.y(f.points[begin].y);
        const double firstX = lastX, firstY = lastY;
        cairo_move_to(cr, lastX, lastY);
        for (std::uint32_t i = begin + 1; i <= part.end; ++i) {
            const bool closing = i == part.end;
            if (closing && !closeRings)
                break;
            const double x = closing ? firstX : p.x(f.points[i].x), y = closing ? firstY : p.y(f.points[i].y);
            if (!closing && i + 1 < part.end && std::fabs(x - lastX) < 0.5 && std::fabs(y - lastY) < 0.5)
                continue;
            if (price.fill)
                work->edge(lastY, y, 0, 1, DrawingWork::fillEdge);
            if (price.stroke)
                work->edge(lastY, y, price.reach, 2, DrawingWork::strokeEdge);
            length += std::hypot(x - lastX, y - lastY);
            if (!closing)
                cairo_line_to(cr, x, y);
            lastX = x;
            lastY = y;
        }
        if (closeRings)
            cairo_close_path(cr);
        begin = part.end;
    }
    return length;
}

// Where the style's property slots are among each tile layer's keys: each
// key looked up once among the slots (a style may name thousands).
std::vector<std::vector<int>> slotMaps(const VectorTile& tile, const VectorStyle& style)
{
    std::vector<std::vector<int>> maps;
    for (const VectorLayer& layer : tile.layers) {
        maps.emplace_back(style.slots.size(), -1);
        for (std::size_t k = 0; k < layer.keys.size(); ++k) {
            const int slot = style.slots.find(layer.keys[k]);
            if (slot >= 0 && maps.back()[static_cast<std::size_t>(slot)] < 0)
                maps.back()[static_cast<std::size_t>(slot)] = static_cast<int>(k);
        }
    }
    return maps;
}

// The dashes of a line layer in pixels: lengthened when the path would
// hold more than DrawingWork::maxDashes of them (each is a stroke of its
// own), and priced.
std::vector<double> dashesOf(const StyleLayer& s, double width, double length, DrawingWork* work)
{
    std::vector<double> dashes;
    double period = 0;
    for (double d : s.dashes) {
        dashes.push_back(std::max(d * width, 0.5));
        period += dashes.back();
    }
    if (dashes.empty())
        return dashes;
    const double count = length / period * (dashes.size() % 2 ? 2 : 1);
    if (count > DrawingWork::maxDashes)
        for (double& d : dashes)
            d *= count / DrawingWork::maxDashes;
    work->spent += std::min(count, DrawingWork::maxDashes) * DrawingWork::strokeEdge;
    return dashes;
}

// One fill or line layer: every matching feature in one path, painted once;
// false (nothing painted) when the picture's work would pass the budget.
bool paintLayer(cairo_t* cr, const VectorTile& tile, const StyleLayer& s, const TileView& view,
                const std::vector<std::vector<int>>& maps, DrawingWork* work)
{
    const bool fill = s.type == StyleLayer::Type::fill;
    // Wider than a tile says nothing more and only costs the stroker.
    const double width = fill ? 1 : std::min(s.width.number(view.zoom), 256.0);
    if (!fill && width <= 0)
        return true;
    const Pricing price{fill, !fill || !s.outline.empty(), width / 2};
    double length = 0;
    bool any = false;
    for (std::size_t li = 0; li < tile.layers.size(); ++li) {
        const VectorLayer& layer = tile.layers[li];
        if (!s.sourceLayer.empty() && s.sourceLayer != layer.name)
            continue;
        const Projection p(layer, view);
        for (const VectorFeature& f : layer.features) {
            const bool polygon = f.kind == VectorFeature::Kind::polygon;
            if ((fill && !polygon) || (!fill && !polygon && f.kind != VectorFeature::Kind::line) || !p.meets(f, width))
                continue;
            if (!s.filter.matches(FeatureView{&layer, &f, &maps[li]}))
                continue;
            length += addPath(cr, f, p, polygon, price, work);
            any = true;
        }
    }
    const std::vector<double> dashes = fill ? std::vector<double>() : dashesOf(s, width, length, work);
    if (!work->settle()) {
        cairo_new_path(cr);
        return false;
    }
    if (!any)
        return true;
    setColour(cr, s.colour.colour(view.zoom), s.opacity.number(view.zoom));
    if (fill) {
        const bool outline = !s.outline.empty();
        if (outline)
            cairo_fill_preserve(cr);
        else
            cairo_fill(cr);
        if (outline) {
            setColour(cr, s.outline.colour(view.zoom), s.opacity.number(view.zoom));
            cairo_set_line_width(cr, 1);
            cairo_set_dash(cr, nullptr, 0, 0);
            cairo_stroke(cr);
        }
        return true;
    }
    cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, s.roundCaps ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_stroke(cr);
    return true;
}

// The points of a line's parts in pixels, each offered along its part.
void offerAlong(const VectorFeature& f, const Projection& p, const StyleLayer& s, std::size_t si, double sortKey,
                const std::string& text, LabelPlacer* placer)
{
    std::uint32_t begin = 0;
    for (const VectorPart& part : f.parts) {
        std::vector<StraightRun::Point> line;
        line.reserve(part.end - begin);
        for (std::uint32_t i = begin; i < part.end; ++i)
            line.push_back({p.x(f.points[i].x), p.y(f.points[i].y)});
        placer->offerLine(s, si, sortKey, text, std::move(line));
        begin = part.end;
    }
}

// Whether every character of a label is in some font.
bool drawable(const std::string& text)
{
    return FontChain::forThisThread().covers(text);
}

void collectLabels(const VectorTile& tile, const VectorStyle& style, const TileView& view,
                   const std::vector<std::vector<int>>& maps, LabelPlacer* placer)
{
    const LabelLanguage::Choice language = LabelLanguage::chosen();
    for (std::size_t si = 0; si < style.layers.size(); ++si) {
        const StyleLayer& s = style.layers[si];
        if (s.type != StyleLayer::Type::symbol || !s.shownAt(view.zoom))
            continue;
        const std::vector<std::size_t> order = s.text.order(language);
        const VectorFeature::Kind kind = s.alongLine ? VectorFeature::Kind::line : VectorFeature::Kind::point;
        for (std::size_t li = 0; li < tile.layers.size(); ++li) {
            const VectorLayer& layer = tile.layers[li];
            if (!s.sourceLayer.empty() && s.sourceLayer != layer.name)
                continue;
            const Projection p(layer, view);
            for (const VectorFeature& f : layer.features) {
                if (f.kind != kind || !p.meets(f, 0))
                    continue;
                const FeatureView fv{&layer, &f, &maps[li]};
                if (!s.text.present(fv) || !s.filter.matches(fv))
                    continue;
                const std::string text = s.text.text(fv, order, drawable);
                if (text.empty())
                    continue;
                const VectorValue* key = s.sortSlot >= 0 ? fv.get(s.sortSlot) : nullptr;
                const double sortKey = key && key->type == VectorValue::Type::number ? key->number : s.sortKey;
                if (s.alongLine)
                    offerAlong(f, p, s, si, sortKey, text, placer);
                else
                    for (const VectorPoint& point : f.points)
                        placer->offer(s, si, sortKey, text, p.x(point.x), p.y(point.y));
            }
        }
    }
}

} // namespace

bool draw(const VectorTile& tile, const VectorStyle& style, const TileView& view, Bitmap* out,
          std::vector<PlacedLabel>* labels, std::string* why)
{
    const int size = view.size;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB16_565, size);
    out->reset(size, false);
    std::vector<unsigned char> own;
    const bool direct = stride == size * 2;
    if (!direct)
        own.resize(static_cast<std::size_t>(stride) * size);
    unsigned char* pixels = direct ? reinterpret_cast<unsigned char*>(out->rgb.data()) : own.data();
    cairo_surface_t* surface = cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_RGB16_565, size, size, stride);
    cairo_t* cr = cairo_create(surface);
    StyleColour background = paper;
    for (const StyleLayer& s : style.layers)
        if (s.type == StyleLayer::Type::background && s.shownAt(view.zoom))
            background = s.colour.colour(view.zoom);
    cairo_set_source_rgb(cr, background.r, background.g, background.b);
    cairo_paint(cr);
    cairo_rectangle(cr, 0, 0, size, size);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // Cairo's fastest anti-aliasing (four by four samples) writes past its
    // buffers on some thin strokes and small text, so the sound default
    // it is. Curves flattened to half a pixel: in 16-bit colour the
    // difference from the finest settings cannot be seen.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_set_tolerance(cr, 0.5);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    const std::vector<std::vector<int>> maps = slotMaps(tile, style);
    DrawingWork work(size);
    for (const StyleLayer& s : style.layers)
        if ((s.type == StyleLayer::Type::fill || s.type == StyleLayer::Type::line) && s.shownAt(view.zoom) &&
            !paintLayer(cr, tile, s, view, maps, &work))
            break;
    if (!work.over()) {
        LabelPlacer placer(cr, size);
        collectLabels(tile, style, view, maps, &placer);
        placer.place(view.zoom, labels);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    if (!direct)
        for (int y = 0; y < size; ++y)
            std::memcpy(&out->rgb[static_cast<std::size_t>(y) * size], &own[static_cast<std::size_t>(y) * stride],
                        static_cast<std::size_t>(size) * 2);
    if (work.over() && why)
        *why = "more to draw than a tile may ask (given up)";
    return !work.over();
}

} // namespace VectorRenderer
