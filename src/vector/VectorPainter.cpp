#include "VectorPainter.h"

#include "MvtReader.h"

#include <algorithm>


const VectorStyle& VectorPainter::style(const std::string& path, bool dark)
{
    const std::string key = path + (dark ? "|dark" : "|light");
    for (const auto& kept : styles)
        if (kept.first == key)
            return *kept.second;
    auto loaded = std::make_unique<VectorStyle>();
    std::string error;
    if (!VectorStyle::load(path, loaded.get(), &error)) {
        tell("style " + path + ": " + error);
        *loaded = VectorStyle();
    } else if (!dark) {
        for (const std::string& line : loaded->skipped)
            tell("style " + path + ": " + line + " skipped");
    }
    if (dark)
        loaded->darken();
    styles.emplace_back(key, std::move(loaded));
    return *styles.back().second;
}

bool VectorPainter::holds(const std::string& tileName, const std::string& stylePath) const
{
    const std::string key = tileName + "|" + stylePath;
    return std::any_of(tiles.begin(), tiles.end(), [&key](const Kept& kept) { return kept.name == key; });
}

std::shared_ptr<const VectorTile> VectorPainter::tile(const std::string& name, const std::string& bytes,
                                                      const std::string& stylePath, bool dark, std::string* error)
{
    const std::string key = name + "|" + stylePath;
    for (const Kept& kept : tiles)
        if (kept.name == key)
            return kept.tile;
    const std::vector<std::string> wanted = style(stylePath, dark).sourceLayers();
    auto decoded = std::make_shared<VectorTile>();
    if (!MvtReader::read(bytes, decoded.get(), error, wanted.empty() ? nullptr : &wanted)) {
        tell("vector tile " + name + ": " + *error);
        return nullptr;
    }
    for (const std::string& line : decoded->skipped)
        tell("vector tile " + name + ": " + line);
    tiles.insert(tiles.begin(), Kept{key, decoded, decoded->heldBytes()});
    std::size_t held = 0, kept = 0;
    while (kept < tiles.size() && kept < tilesKept && (kept == 0 || held + tiles[kept].bytes <= keptBytes))
        held += tiles[kept++].bytes;
    tiles.erase(tiles.begin() + static_cast<std::ptrdiff_t>(kept), tiles.end());
    return decoded;
}

bool VectorPainter::paint(const std::string& tileName, const std::string& bytes, const std::string& stylePath,
                          bool dark, const TileView& view, Bitmap* out, std::string* error)
{
    const std::shared_ptr<const VectorTile> decoded = tile(tileName, bytes, stylePath, dark, error);
    if (!decoded)
        return false;
    // A picture given up is not tried again; the tile is told of once.
    const std::string picture = tileName + "|" + std::to_string(view.size) + "|" + std::to_string(view.zoom) + "|" +
                                std::to_string(view.overZoom) + "|" + std::to_string(view.subX) + "|" +
                                std::to_string(view.subY);
    const auto ofTile = [&](const std::string& key) { return key.compare(0, tileName.size() + 1, tileName + "|") == 0; };
    if (std::find(givenUp.begin(), givenUp.end(), picture) != givenUp.end()) {
        *error = "more to draw than a tile may ask (given up)";
        return false;
    }
    if (VectorRenderer::draw(*decoded, style(stylePath, dark), view, out, nullptr, error))
        return true;
    if (std::none_of(givenUp.begin(), givenUp.end(), ofTile))
        tell("vector tile " + tileName + ": " + *error);
    givenUp.insert(givenUp.begin(), picture);
    if (givenUp.size() > givenUpKept)
        givenUp.pop_back();
    return false;
}

void VectorPainter::tell(std::string text)
{
    if (reports)
        reports->add(std::move(text));
}

void VectorPainter::clear()
{
    styles.clear();
    tiles.clear();
    givenUp.clear();
}
