#include "TilePipeline.h"

#include "SafeFile.h"
#include "TileDecoder.h"

#include <algorithm>
#include <climits>

namespace {

const char* const placeholderFile = "media/na.png";

long long floorDiv(long long value, long long f)
{
    long long q = value / f;
    if (value % f != 0 && value < 0)
        --q;
    return q;
}

long long floorMod(long long value, long long f)
{
    return value - floorDiv(value, f) * f;
}

} // namespace

TilePipeline::TilePipeline() = default;

TilePipeline::~TilePipeline()
{
    loader.reset();
}

void TilePipeline::setMode(Mode mode)
{
    current = mode;
    if (!loader)
        return;
    if (mode == Mode::background)
        loader->start();
    else
        loader->stop();
}

void TilePipeline::onFinished(std::function<void()> call)
{
    finished = call;
    if (loader)
        loader->onFinished(std::move(call));
}

std::shared_ptr<const Bitmap> TilePipeline::loadPlaceholder() const
{
    auto bitmap = std::make_shared<Bitmap>();
    std::string bytes;
    if (!SafeFile::readRegular(placeholderFile, PackedMap::maxTileBytes, &bytes) ||
        !TileDecoder::decode(bytes, tileSize, bitmap.get(), nullptr)) {
        bitmap->reset(tileSize, false);
        std::fill(bitmap->rgb.begin(), bitmap->rgb.end(), Pixels::pack565(128, 128, 128));
    }
    Pixels::flattenOver(bitmap.get(), CellComposer::backdrop);
    return bitmap;
}

void TilePipeline::restartLoader()
{
    loader.reset();
    placeholder = loadPlaceholder();
    placeholderImage = std::make_shared<TileImage>(placeholder);
    composer = std::make_unique<CellComposer>(tileSize, placeholder, &reports);
    loader = std::make_unique<TileLoader>(composer.get());
    loader->onFinished(finished);
    if (current == Mode::background)
        loader->start();
}

void TilePipeline::open(LayerList layers, int shownLevel, int size)
{
    level = shownLevel;
    ++package;
    if (!loader || size != tileSize) {
        tileSize = size;
        restartLoader();
    } else {
        loader->want({});
    }
    layersChanged(std::move(layers));
}

void TilePipeline::close()
{
    if (loader)
        loader->want({});
    shown.clear();
}

void TilePipeline::layersChanged(LayerList layers)
{
    shown = std::move(layers);
    if (shown.empty() || !shown.front().source) {
        shown.clear();
        return;
    }
    std::string names;
    for (const ShownLayer& layer : shown)
        names += layer.source->name() + "|" + std::to_string(layer.opacity) + "\n";
    const auto key = std::make_pair(package, names);
    const auto found = sources.find(key);
    if (found != sources.end()) {
        source = found->second;
        return;
    }
    source = static_cast<int>(sources.size()) + 1;
    sources[key] = source;
}

bool TilePipeline::inArea(int x, int y) const
{
    const LevelArea area = base().areaAt(level);
    return x >= 0 && y >= 0 && x < area.width && y < area.height;
}

CellKey TilePipeline::keyOf(int x, int y) const
{
    const LevelArea area = base().areaAt(level);
    CellKey key;
    key.source = source;
    key.level = area.zoomValue;
    key.x = area.worldX + x;
    key.y = area.worldY + y;
    return key;
}

void TilePipeline::fill(Tile* tile)
{
    ++cellsFilled;
    tile->ready = true;
    if (shown.empty() || !inArea(tile->x, tile->y)) {
        tile->image = placeholderImage;
    } else {
        tile->key = keyOf(tile->x, tile->y);
        tile->image = cache.get(tile->key);
        if (!tile->image) {
            tile->image = standIn(tile->key);
            tile->ready = false;
        }
    }
    tile->surface = tile->image ? tile->image->surface : nullptr;
}

std::vector<std::pair<int, int>> TilePipeline::ancestorSteps() const
{
    std::vector<std::pair<int, int>> steps;
    for (int k = 1; k <= ancestorLevels && level - k >= 0; ++k) {
        const int f = base().levelFactor(level, level - k);
        if (f == 0 || f > tileSize)
            break;
        steps.emplace_back(level - k, f);
    }
    return steps;
}

std::shared_ptr<TileImage> TilePipeline::standIn(const CellKey& key)
{
    for (const auto& step : ancestorSteps()) {
        const int f = step.second;
        const CellKey parent{source, base().areaAt(step.first).zoomValue, floorDiv(key.x, f), floorDiv(key.y, f)};
        const std::shared_ptr<TileImage> found = cache.get(parent);
        if (!found)
            continue;
        const int edge = tileSize / f;
        auto bitmap = std::make_shared<Bitmap>();
        Pixels::cutAndScale(*found->bitmap, static_cast<int>(floorMod(key.x, f)) * edge,
                            static_cast<int>(floorMod(key.y, f)) * edge, edge, tileSize, bitmap.get());
        return std::make_shared<TileImage>(bitmap);
    }
    return placeholderImage;
}

TileRequest TilePipeline::requestFor(const Tile& tile) const
{
    TileRequest r;
    r.key = tile.key;
    r.package = package;
    r.bg = base().tileRef(level, tile.x, tile.y);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        OverlayRef over{shown[i].source->tileRef(level, tile.x, tile.y), shown[i].opacity};
        if (over.ref.present())
            r.overlays.push_back(std::move(over));
    }
    for (const auto& step : parents ? ancestorSteps() : std::vector<std::pair<int, int>>()) {
        const int f = step.second;
        const LevelArea area = base().areaAt(step.first);
        const long long x = floorDiv(tile.key.x, f) - area.worldX;
        const long long y = floorDiv(tile.key.y, f) - area.worldY;
        if (x < 0 || y < 0 || x > INT_MAX || y > INT_MAX)
            continue;
        AncestorRef a;
        a.bg = base().tileRef(step.first, static_cast<int>(x), static_cast<int>(y));
        a.edge = tileSize / f;
        a.x = static_cast<int>(floorMod(tile.key.x, f)) * a.edge;
        a.y = static_cast<int>(floorMod(tile.key.y, f)) * a.edge;
        if (a.bg.present())
            r.ancestors.push_back(a);
    }
    return r;
}

void TilePipeline::request(std::vector<Tile>* grid, int cols, int centreX, int centreY, const std::vector<Tile>& ahead)
{
    if (shown.empty() || !loader || cols <= 0)
        return;
    std::vector<std::pair<long long, std::size_t>> order;
    for (std::size_t i = 0; i < grid->size(); ++i) {
        if ((*grid)[i].ready)
            continue;
        const long long dx = static_cast<long long>(i % cols) * tileSize + tileSize / 2 - centreX;
        const long long dy = static_cast<long long>(i / cols) * tileSize + tileSize / 2 - centreY;
        order.emplace_back(dx * dx + dy * dy, i);
    }
    std::stable_sort(order.begin(), order.end());
    std::vector<TileRequest> wanted;
    for (const auto& entry : order)
        wanted.push_back(requestFor((*grid)[entry.second]));
    for (Tile next : ahead) {
        if (!inArea(next.x, next.y))
            continue;
        next.key = keyOf(next.x, next.y);
        if (!cache.contains(next.key))
            wanted.push_back(requestFor(next));
    }
    loader->want(std::move(wanted));
    if (current == Mode::synchronous) {
        while (loader->step()) {
        }
        update(grid);
    }
}

bool TilePipeline::update(std::vector<Tile>* grid)
{
    if (!loader)
        return false;
    bool changed = false;
    for (TileResult& result : loader->takeResults()) {
        if (result.package != package || !result.bitmap)
            continue;
        auto image = std::make_shared<TileImage>(result.bitmap, result.standIn);
        cache.put(result.key, image);
        for (Tile& tile : *grid) {
            if (tile.ready || tile.key != result.key)
                continue;
            tile.image = image;
            tile.surface = image->surface;
            tile.ready = true;
            changed = true;
        }
    }
    return changed;
}
