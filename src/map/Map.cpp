#include "Map.h"

#include "ArchiveAPI.h"
#include "Mercator.h"
#include "SurfaceCopy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

Map::Map() : conf("", 1) {}

Map::Map(SDL_Surface* screen, std::string path) : Map()
{
    create(screen, path);
}

Map::~Map()
{
    destroy();
}

bool Map::create(SDL_Surface* target, std::string path, std::string* why)
{
    if (!target)
        return false;
    ConfParser candidate("", 1);
    std::unique_ptr<MapAPI> source = MapAPI::open(path, &candidate, why, target->w, target->h);
    recoveryNote = candidate.recoveryNote();
    if (!source)
        return false;

    destroy();
    screen = target;
    // The previous description is replaced without being written again.
    conf = candidate;
    source->conf = &conf;
    api = std::move(source);
    const int tileSize = api->tileSize();
    bgTypes = api->layers("type");
    overlayTypes = api->layers("overlay");
    if (bgTypes.size() > maxLayers)
        bgTypes.resize(maxLayers);
    if (overlayTypes.size() > maxLayers)
        overlayTypes.resize(maxLayers);
    api->setBg(api->startLayer(bgTypes));
    folder = LaidArchives::folderOf(path, dynamic_cast<const ArchiveAPI*>(api.get()) != nullptr, &ownFile);
    int z = 0;
    laid.laid.clear();
    if (api->mercatorLevel(api->zoom, &z))
        laid.read(conf, folder);
    pipeline.open(shownLayers(), api->zoom, tileSize);
    showLayers();
    headingX = headingY = 0;

    grid.resize(screen->w, screen->h, tileSize);
    // An archive's level may be smaller than the screen: its centre, not
    // its edge, is kept in view.
    grid.bounded = !api->worldAnchoredZoom();
    grid.setArea(api->width, api->height);

    ViewCentre start;
    if (!api->startPosition(&start)) // no saved position: the centre of the area
        start = ViewCentre::atPixels(static_cast<long long>(api->width) * tileSize / 2,
                                     static_cast<long long>(api->height) * tileSize / 2, tileSize);
    setCentre(start);
    return true;
}

void Map::destroy()
{
    tiles.clear();
    pipeline.close();
}

void Map::moveDistance(int dx, int dy, int speed, int* outX, int* outY)
{
    const float f = static_cast<float>(speed / std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
    *outX = static_cast<int>(dx * f);
    *outY = static_cast<int>(dy * f);
}

void Map::reloadTile(Tile* tile)
{
    pipeline.fill(tile);
}

void Map::reloadAll()
{
    for (Tile& tile : tiles)
        reloadTile(&tile);
    requestCells();
}

void Map::requestCells()
{
    if (tiles.empty())
        return;
    std::vector<Tile> ahead;
    const Tile& origin = tiles[0];
    if (headingX != 0)
        for (int r = 0; r < grid.rows; ++r) {
            Tile t;
            t.x = headingX > 0 ? origin.x + grid.cols : origin.x - 1;
            t.y = origin.y + r;
            ahead.push_back(t);
        }
    if (headingY != 0)
        for (int c = 0; c < grid.cols; ++c) {
            Tile t;
            t.x = origin.x + c;
            t.y = headingY > 0 ? origin.y + grid.rows : origin.y - 1;
            ahead.push_back(t);
        }
    const ViewCentre middle = grid.centre();
    pipeline.request(&tiles, grid.cols, middle.pixelX, middle.pixelY, ahead);
}

void Map::setMissingParents(bool parents)
{
    pipeline.parents = parents;
    pipeline.cache.dropSubstitutes();
    if (!tiles.empty())
        reloadAll();
}

void Map::redrawPictures()
{
    pipeline.cache.clear();
    if (!tiles.empty())
        reloadAll();
}

bool Map::mercatorLevel(int* z) const
{
    return !tiles.empty() && api->mercatorLevel(api->zoom, z);
}

bool Map::centreOn(double lon, double lat)
{
    int z = 0;
    if (!mercatorLevel(&z))
        return false;
    double x, y;
    Mercator::toPixel(lon, lat, z, &x, &y);
    const MapAPI::LevelArea area = api->areaAt(api->zoom);
    const int ts = grid.tileSize;
    const double tileX = std::floor(x / ts), tileY = std::floor(y / ts);
    const double ax = tileX - static_cast<double>(area.worldX), ay = tileY - static_cast<double>(area.worldY);
    if (ax < -1e9 || ax > 1e9 || ay < -1e9 || ay > 1e9)
        return false;
    const ViewCentre target{static_cast<int>(ax), static_cast<int>(ay), static_cast<int>(x - tileX * ts),
                            static_cast<int>(y - tileY * ts)};
    // A followed fix that stays on the same pixel leaves the cells alone
    // (the grid's centre may count its pixel from another cell).
    const ViewCentre now = centre();
    if (target.pixelsX(ts) != now.pixelsX(ts) || target.pixelsY(ts) != now.pixelsY(ts))
        setCentre(target);
    return true;
}

void Map::worldPixel(double x, double y, double* wx, double* wy) const
{
    const MapAPI::LevelArea area = api->areaAt(api->zoom);
    *wx = static_cast<double>(area.worldX * grid.tileSize + grid.viewLeft()) + x;
    *wy = static_cast<double>(area.worldY * grid.tileSize + grid.viewTop()) + y;
}

bool Map::toScreen(const LonLat& at, double* x, double* y) const
{
    int z = 0;
    double originX, originY, wx, wy;
    if (!screenOrigin(&z, &originX, &originY))
        return false;
    Mercator::toPixel(at.lon, at.lat, z, &wx, &wy);
    *x = wx - originX;
    *y = wy - originY;
    return true;
}

bool Map::screenOrigin(int* z, double* x, double* y) const
{
    if (!mercatorLevel(z))
        return false;
    worldPixel(0, 0, x, y);
    return true;
}

bool Map::update()
{
    return pipeline.update(&tiles);
}

void Map::setCentre(ViewCentre centre)
{
    if (!api)
        return;
    grid.place(centre);
    fillCells();
}

void Map::fillCells()
{
    tiles.reserve(static_cast<std::size_t>(grid.cols * grid.rows));
    for (int r = 0; r < grid.rows; ++r) {
        for (int c = 0; c < grid.cols; ++c) {
            const std::size_t i = static_cast<std::size_t>(r * grid.cols + c);
            if (i >= tiles.size())
                tiles.push_back(Tile());
            tiles[i].x = grid.originX + c;
            tiles[i].y = grid.originY + r;
            reloadTile(&tiles[i]);
        }
    }
    requestCells();
}

ViewCentre Map::centre() const
{
    return tiles.empty() ? ViewCentre() : grid.centre();
}

bool Map::move(int dx, int dy)
{
    if (tiles.empty())
        return false;
    if (dx != 0 || dy != 0) {
        headingX = (dx > 0) - (dx < 0);
        headingY = (dy > 0) - (dy < 0);
    }
    // A jump of many screens places the grid anew instead of shifting it
    // one column at a time.
    if (grid.isFar(dx, dy)) {
        const bool whole = grid.jump(dx, dy);
        fillCells();
        return whole;
    }
    const auto recycle = [this](ViewGrid::Axis axis, bool back) {
        if (axis == ViewGrid::Axis::across)
            recycleColumn(back);
        else
            recycleRow(back);
    };
    const bool acrossMoved = grid.slide(ViewGrid::Axis::across, dx, recycle);
    return dy == 0 ? acrossMoved : grid.slide(ViewGrid::Axis::down, dy, recycle);
}

void Map::recycleColumn(bool left)
{
    const int cols = grid.cols;
    std::vector<Tile> outgoing;
    outgoing.reserve(static_cast<std::size_t>(grid.rows));
    for (int r = 0; r < grid.rows; ++r) {
        Tile* row = &tiles[static_cast<std::size_t>(r * cols)];
        outgoing.push_back(row[left ? cols - 1 : 0]);
        if (left)
            std::copy_backward(row, row + cols - 1, row + cols);
        else
            std::copy(row + 1, row + cols, row);
        Tile& incoming = row[left ? 0 : cols - 1];
        incoming = outgoing.back();
        incoming.x += left ? -cols : cols;
        reloadTile(&incoming);
    }
    requestCells();
}

void Map::recycleRow(bool up)
{
    const int rows = grid.rows;
    const std::size_t width = static_cast<std::size_t>(grid.cols);
    std::vector<Tile> outgoing(tiles.begin() + static_cast<long>(up ? (rows - 1) * width : 0),
                               tiles.begin() + static_cast<long>(up ? rows * width : width));
    if (up)
        std::copy_backward(tiles.begin(), tiles.end() - static_cast<long>(width), tiles.end());
    else
        std::copy(tiles.begin() + static_cast<long>(width), tiles.end(), tiles.begin());
    Tile* incoming = &tiles[up ? 0 : (static_cast<std::size_t>(rows) - 1) * width];
    for (std::size_t c = 0; c < width; ++c) {
        incoming[c] = outgoing[c];
        incoming[c].y += up ? -rows : rows;
        reloadTile(&incoming[c]);
    }
    requestCells();
}

void Map::draw()
{
    if (tiles.empty() || !screen)
        return;
    const int ts = grid.tileSize, cols = grid.cols, rows = grid.rows;
    const int offsetX = grid.offsetX, offsetY = grid.offsetY;
    const int viewWidth = grid.viewWidth, viewHeight = grid.viewHeight;
    int dstY = 0;
    for (int r = 0; r < rows; ++r) {
        if ((r == 0 && offsetY >= ts) || (r == rows - 1 && r * ts - viewHeight >= offsetY))
            continue;
        int dstX = 0;
        int rowHeight = 0;
        for (int c = 0; c < cols; ++c) {
            if ((c == 0 && offsetX >= ts) || (c == cols - 1 && c * ts - viewWidth >= offsetX))
                continue;
            const int sx = std::max(0, offsetX - c * ts);
            const int sy = std::max(0, offsetY - r * ts);
            const int sw = viewWidth - sx - dstX > ts ? ts - sx : viewWidth - dstX;
            const int sh = viewHeight - sy - dstY > ts ? ts - sy : viewHeight - dstY;
            SDL_Rect source{static_cast<Sint16>(sx), static_cast<Sint16>(sy), static_cast<Uint16>(std::max(sw, 0)),
                            static_cast<Uint16>(std::max(sh, 0))};
            SDL_Rect dest{static_cast<Sint16>(dstX), static_cast<Sint16>(dstY), 0, 0};
            SDL_Surface* surface = tiles[static_cast<std::size_t>(r * cols + c)].surface;
            if (surface && SurfaceCopy::blit(surface, &source, screen, &dest) == 0) {
                // What the blit copies on the whole screen: the caller may
                // clip the screen to a damaged part, which must not move
                // the tiles that follow.
                dstX += std::max(0, std::min({sw, surface->w - sx, screen->w - dstX}));
                rowHeight = std::max(0, std::min({sh, surface->h - sy, screen->h - dstY}));
            }
        }
        dstY += rowHeight;
    }
}

bool Map::zoomIn()
{
    return !tiles.empty() && keepCentreAcrossZoom(api->zoomIn(), true);
}

bool Map::zoomOut()
{
    return !tiles.empty() && keepCentreAcrossZoom(api->zoomOut(), false);
}

// After the source changed level by `f` (0: it did not), places the grid so
// that the screen centre stays on the same point of the map.
bool Map::keepCentreAcrossZoom(int f, bool in)
{
    if (f == 0)
        return false;
    const ViewCentre before = grid.centre();
    ViewCentre after = before.scaled(f, in, grid.tileSize);
    if (api->worldAnchoredZoom()) {
        // Levels with areas of their own: by world position.
        const MapAPI::LevelArea from = api->areaAt(api->zoom + (in ? -1 : 1));
        const MapAPI::LevelArea to = api->areaAt(api->zoom);
        const long long fromOrigin[2] = {from.worldX, from.worldY}, toOrigin[2] = {to.worldX, to.worldY};
        after = before.rebased(fromOrigin, toOrigin, f, in, grid.tileSize);
    }
    grid.setArea(api->width, api->height);
    pipeline.showLevel(api->zoom);
    setCentre(after);
    return true;
}

bool Map::saveLastPosition()
{
    if (tiles.empty())
        return false;
    return api->savePosition(grid.centre());
}

bool Map::setBg(int index, bool* kept)
{
    if (tiles.empty())
        return false;
    const bool inList = index >= 0 && static_cast<std::size_t>(index) < bgTypes.size();
    api->setBg(bgTypes[inList ? static_cast<std::size_t>(index) : 0]);
    const bool written = api->keepLayerChoice();
    if (kept)
        *kept = written;
    showLayers();
    reloadAll();
    return true;
}

bool Map::setOverlay(int index)
{
    if (tiles.empty())
        return false;
    const bool inList = index >= 0 && static_cast<std::size_t>(index) < overlayTypes.size();
    api->setOverlay(inList ? overlayTypes[static_cast<std::size_t>(index)] : std::string());
    showLayers();
    reloadAll();
    return true;
}

std::vector<std::string> Map::aliases(const std::vector<std::string>& names) const
{
    std::vector<std::string> labels;
    if (api)
        for (const std::string& name : names)
            labels.push_back(api->typeAlias(name));
    return labels;
}

std::vector<std::string> Map::aliasedBgList()
{
    return aliases(bgTypes);
}

std::vector<std::string> Map::aliasedOverlayList()
{
    return aliases(overlayTypes);
}

LayerList Map::shownLayers() const
{
    LayerList shown;
    if (!api)
        return shown;
    shown = api->shownLayers();
    laid.layOver(api.get(), &shown);
    return shown;
}

void Map::showLayers()
{
    const LayerList shown = shownLayers();
    pipeline.layersChanged(shown);
    creditLine = LaidArchives::creditsOf(shown);
}

std::vector<std::string> Map::offeredArchives() const
{
    int z = 0;
    if (tiles.empty() || !api->mercatorLevel(api->zoom, &z))
        return {};
    return LaidArchives::offered(folder, ownFile);
}

bool Map::layArchive(const std::string& file, int opacity, std::string* why, bool* kept)
{
    if (tiles.empty() || !laid.set(folder, file, opacity, why))
        return false;
    conf.setValue(LaidArchives::key, laid.text());
    const bool written = conf.save();
    if (kept)
        *kept = written;
    showLayers();
    reloadAll();
    return true;
}
