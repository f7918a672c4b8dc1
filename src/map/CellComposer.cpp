#include "CellComposer.h"

#include "TileDecoder.h"

#include <algorithm>

namespace {

const std::size_t ancestorsKept = 4;

} // namespace

bool CellComposer::load(const TileRef& ref, Bitmap* out)
{
    std::string bytes;
    if (!ref.present())
        return false;
    // The 4^k cells past a vector archive's deepest level share one data
    // tile: the painter, holding it decoded, is asked before it is read.
    const bool held = ref.vector() && painter.holds(ref.name(), ref.style);
    if (!held && !reader.read(ref, &bytes))
        return false;
    decoded += !held;
    if (!ref.vector())
        return TileDecoder::decode(bytes, tileSize, out, nullptr);
    TileView view;
    view.size = tileSize;
    view.zoom = ref.zoom + ref.overZoom;
    view.overZoom = ref.overZoom;
    view.subX = ref.subX;
    view.subY = ref.subY;
    std::string error;
    return painter.paint(ref.name(), bytes, ref.style, ref.dark, view, out, &error);
}

// A vector ancestor is drawn sharp from its geometry: the cell's square of
// it becomes a square one level further cut.
bool CellComposer::drawAncestor(const AncestorRef& a, Bitmap* out)
{
    TileRef ref = a.bg;
    int steps = 0;
    while (steps < 30 && (a.edge << steps) < tileSize)
        ++steps;
    if (a.edge <= 0 || (a.edge << steps) != tileSize || ref.overZoom + steps > 30)
        return false;
    ref.overZoom += steps;
    ref.subX = (ref.subX << steps) + a.x / a.edge;
    ref.subY = (ref.subY << steps) + a.y / a.edge;
    return load(ref, out);
}

std::shared_ptr<const Bitmap> CellComposer::ancestor(const TileRef& ref)
{
    const std::string name = ref.pictureName();
    for (const auto& kept : recentAncestors)
        if (kept.first == name)
            return kept.second;
    auto bitmap = std::make_shared<Bitmap>();
    std::shared_ptr<const Bitmap> found;
    if (load(ref, bitmap.get()))
        found = bitmap;
    recentAncestors.insert(recentAncestors.begin(), {name, found});
    if (recentAncestors.size() > ancestorsKept)
        recentAncestors.pop_back();
    return found;
}

void CellComposer::standIn(const TileRequest& request, Bitmap* bg)
{
    for (const AncestorRef& a : request.ancestors) {
        if (a.bg.vector()) {
            if (drawAncestor(a, bg))
                return;
            continue;
        }
        if (std::shared_ptr<const Bitmap> source = ancestor(a.bg)) {
            Pixels::cutAndScale(*source, a.x, a.y, a.edge, tileSize, bg);
            return;
        }
    }
    if (placeholder)
        *bg = *placeholder;
    else {
        bg->reset(tileSize, false);
        bg->fill(0);
    }
}

TileResult CellComposer::work(const TileRequest& request)
{
    if (request.package != package) {
        reader.clear();
        recentAncestors.clear();
        painter.clear();
        terrain.clear();
        package = request.package;
    }
    TileResult result;
    result.key = request.key;
    result.package = request.package;
    auto bg = std::make_shared<Bitmap>();
    if (!load(request.bg, bg.get())) {
        result.standIn = true;
        standIn(request, bg.get());
    }
    Pixels::flattenOver(bg.get(), backdrop);
    for (const OverlayRef& layer : request.overlays) {
        if (layer.ref.elevation != 0) {
            terrainCells += terrain.paint(layer.ref, layer.opacity, bg.get());
            continue;
        }
        Bitmap over;
        if (layer.ref.present() && load(layer.ref, &over))
            Pixels::blendOver(bg.get(), over, static_cast<unsigned>(std::clamp(layer.opacity, 0, 100)) * 255 / 100);
    }
    result.bitmap = bg;
    return result;
}
