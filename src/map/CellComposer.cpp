#include "CellComposer.h"

#include "TileDecoder.h"

namespace {

const std::size_t ancestorsKept = 4;

} // namespace

bool CellComposer::load(const TileRef& ref, Bitmap* out)
{
    std::string bytes;
    if (!ref.present() || !reader.read(ref, &bytes))
        return false;
    ++decoded;
    return TileDecoder::decode(bytes, tileSize, out, nullptr);
}

std::shared_ptr<const Bitmap> CellComposer::ancestor(const TileRef& ref)
{
    const std::string name = ref.name();
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
    Bitmap over;
    if (request.overlay.present() && load(request.overlay, &over))
        Pixels::blendOver(bg.get(), over);
    result.bitmap = bg;
    return result;
}
