#include "Map.h"

#include "Mercator.h"
#include "SurfaceCopy.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

int truncateToInt(long long value)
{
    return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, value)));
}

} // namespace

Map::Map() : conf("", 1) {}

Map::Map(SDL_Surface* screen, std::string path) : Map()
{
    create(screen, path);
}

Map::~Map()
{
    destroy();
}

int Map::gridSize(int view, int tile)
{
    return view > tile ? (view + tile - 1) / tile + 1 : 2;
}

bool Map::create(SDL_Surface* target, std::string path)
{
    if (!target)
        return false;
    ConfParser candidate("", 1);
    std::unique_ptr<MapAPI> source = MapAPI::open(path, &candidate);
    if (!source)
        return false;

    destroy();
    screen = target;
    viewWidth = screen->w;
    viewHeight = screen->h;
    // The previous description is replaced without being written again.
    conf = candidate;
    source->conf = &conf;
    api = std::move(source);
    tileSize = api->tileSize();
    bgTypes = api->layers("type");
    overlayTypes = api->layers("overlay");
    if (bgTypes.size() > maxLayers)
        bgTypes.resize(maxLayers);
    if (overlayTypes.size() > maxLayers)
        overlayTypes.resize(maxLayers);
    api->setBg(api->startLayer(bgTypes));
    pipeline.open(api.get(), tileSize);
    headingX = headingY = 0;

    mapWidth = api->width;
    mapHeight = api->height;
    cols = gridSize(viewWidth, tileSize);
    rows = gridSize(viewHeight, tileSize);

    int pos[4];
    if (!api->startPosition(&pos[0], &pos[1], &pos[2], &pos[3])) {
        // No saved position: the centre of the area.
        const long long centreX = static_cast<long long>(mapWidth) * tileSize / 2;
        const long long centreY = static_cast<long long>(mapHeight) * tileSize / 2;
        pos[0] = static_cast<int>(centreX / tileSize);
        pos[1] = static_cast<int>(centreY / tileSize);
        pos[2] = static_cast<int>(centreX % tileSize);
        pos[3] = static_cast<int>(centreY % tileSize);
    }
    setCenterCoords(pos[0], pos[1], pos[2], pos[3]);
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
        for (int r = 0; r < rows; ++r) {
            Tile t;
            t.x = headingX > 0 ? origin.x + cols : origin.x - 1;
            t.y = origin.y + r;
            ahead.push_back(t);
        }
    if (headingY != 0)
        for (int c = 0; c < cols; ++c) {
            Tile t;
            t.x = origin.x + c;
            t.y = headingY > 0 ? origin.y + rows : origin.y - 1;
            ahead.push_back(t);
        }
    pipeline.request(&tiles, cols, offsetX + viewWidth / 2, offsetY + viewHeight / 2, ahead);
}

void Map::setMissingParents(bool parents)
{
    pipeline.parents = parents;
    pipeline.cache.dropSubstitutes();
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
    const double tileX = std::floor(x / tileSize), tileY = std::floor(y / tileSize);
    const double ax = tileX - static_cast<double>(area.worldX), ay = tileY - static_cast<double>(area.worldY);
    if (ax < -1e9 || ax > 1e9 || ay < -1e9 || ay > 1e9)
        return false;
    setCenterCoords(static_cast<int>(ax), static_cast<int>(ay), static_cast<int>(x - tileX * tileSize),
                    static_cast<int>(y - tileY * tileSize));
    return true;
}

void Map::worldPixel(double x, double y, double* wx, double* wy) const
{
    const MapAPI::LevelArea area = api->areaAt(api->zoom);
    *wx = static_cast<double>(area.worldX + tiles[0].x) * tileSize + offsetX + x;
    *wy = static_cast<double>(area.worldY + tiles[0].y) * tileSize + offsetY + y;
}

bool Map::update()
{
    return pipeline.update(&tiles);
}

namespace {

// A pixel offset of two tiles or more (or a negative one), as a damaged or
// hand-made map.conf may hold, is carried into the tile number; tile numbers
// stay within a range where the placement's arithmetic cannot overflow.
void reduceIntoTile(int* tile, int* pixel, int ts)
{
    long long t = *tile, p = *pixel;
    if (p < 0 || p >= 2LL * ts) {
        long long carry = p / ts;
        if (p % ts < 0)
            --carry;
        t += carry;
        p -= carry * ts;
    }
    const long long limit = 1LL << 30;
    *tile = static_cast<int>(std::max(-limit, std::min(limit, t)));
    *pixel = static_cast<int>(p);
}

} // namespace

void Map::setCenterCoords(int tileX, int tileY, int pixelX, int pixelY)
{
    if (!api)
        return;
    const int ts = tileSize;
    reduceIntoTile(&tileX, &pixelX, ts);
    reduceIntoTile(&tileY, &pixelY, ts);
    const int halfW = viewWidth / 2;
    const int halfH = viewHeight / 2;

    int px = pixelX - halfW % ts;
    int firstCol = tileX - halfW / ts - (px < 0 ? 1 : 0);
    if (px < 0)
        px += ts;
    int py = pixelY - halfH % ts;
    int firstRow = tileY - halfH / ts - (py < 0 ? 1 : 0);
    if (py < 0)
        py += ts;

    offsetX = firstCol < 0 ? 0 : px;
    firstCol = std::max(firstCol, 0);
    if (firstCol > mapWidth - cols) {
        offsetX = static_cast<int>(std::min(static_cast<long long>(firstCol - (mapWidth - cols)) * ts + offsetX,
                                            static_cast<long long>(cols * ts - viewWidth)));
        firstCol = mapWidth - cols;
    }
    offsetY = firstRow < 0 ? 0 : py;
    firstRow = std::max(firstRow, 0);
    if (firstRow > mapHeight - rows) {
        offsetY = static_cast<int>(std::min(static_cast<long long>(firstRow - (mapHeight - rows)) * ts + offsetY,
                                            static_cast<long long>(rows * ts - viewHeight)));
        firstRow = mapHeight - rows;
    }
    // An area narrower or lower than the grid starts at its first column
    // or row; the cells past its end show the missing-tile picture.
    if (firstCol < 0) {
        firstCol = 0;
        offsetX = 0;
    }
    if (firstRow < 0) {
        firstRow = 0;
        offsetY = 0;
    }

    tiles.reserve(static_cast<std::size_t>(cols * rows));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            const std::size_t i = static_cast<std::size_t>(r * cols + c);
            if (i >= tiles.size())
                tiles.push_back(Tile());
            tiles[i].x = firstCol + c;
            tiles[i].y = firstRow + r;
            reloadTile(&tiles[i]);
        }
    }
    requestCells();
}

void Map::getCenterCoords(int* tileX, int* tileY, int* pixelX, int* pixelY)
{
    if (tiles.empty())
        return;
    *tileX = tiles[0].x;
    *tileY = tiles[0].y;
    *pixelX = offsetX + viewWidth / 2;
    *pixelY = offsetY + viewHeight / 2;
}

bool Map::move(int dx, int dy)
{
    if (tiles.empty())
        return false;
    if (dx != 0 || dy != 0) {
        headingX = (dx > 0) - (dx < 0);
        headingY = (dy > 0) - (dy < 0);
    }
    const int ts = tileSize;
    // A jump of many screens places the grid anew instead of shifting it
    // one column at a time.
    if (std::llabs(static_cast<long long>(dx)) > 2LL * cols * ts || std::llabs(static_cast<long long>(dy)) > 2LL * rows * ts)
        return jump(dx, dy);
    const bool acrossMoved = slide(true, &dx);
    return dy == 0 ? acrossMoved : slide(false, &dy);
}

// Slides one axis by *d, shift by shift: within the grid the offset moves;
// past it a column (or row) comes in and the rest of the distance is
// applied again. At the area's end the view stops there: false.
bool Map::slide(bool across, int* d)
{
    int& offset = across ? offsetX : offsetY;
    const long long view = across ? viewWidth : viewHeight;
    const long long span = static_cast<long long>(across ? cols : rows) * tileSize;
    while (*d != 0) {
        const long long n = static_cast<long long>(offset) + *d;
        if (n >= 0 && n + view <= span) {
            offset = static_cast<int>(n);
            *d = 0;
            return true;
        }
        const bool back = *d < 0;
        const long long rest = back ? n : n + view - span;
        if (!(across ? new_col(back) : new_row(back))) {
            offset = static_cast<int>(back ? 0 : span - view);
            *d = 0;
            return false;
        }
        *d = static_cast<int>(rest);
    }
    return true;
}

// move() for long distances: the same end, the view stopped at the area's
// edges; false when it was stopped.
bool Map::jump(int dx, int dy)
{
    double x0, y0, x1, y1;
    worldPixel(0, 0, &x0, &y0);
    int centre[4] = {0, 0, 0, 0};
    getCenterCoords(&centre[0], &centre[1], &centre[2], &centre[3]);
    const long long px = static_cast<long long>(centre[2]) + dx, py = static_cast<long long>(centre[3]) + dy;
    const long long tx = centre[0] + px / tileSize - (px % tileSize < 0 ? 1 : 0);
    const long long ty = centre[1] + py / tileSize - (py % tileSize < 0 ? 1 : 0);
    const long long limit = 1LL << 30;
    setCenterCoords(static_cast<int>(std::max(-limit, std::min(limit, tx))),
                    static_cast<int>(std::max(-limit, std::min(limit, ty))),
                    static_cast<int>(((px % tileSize) + tileSize) % tileSize),
                    static_cast<int>(((py % tileSize) + tileSize) % tileSize));
    worldPixel(0, 0, &x1, &y1);
    return x1 - x0 == dx && y1 - y0 == dy;
}

bool Map::new_col(bool left)
{
    if (tiles.empty())
        return false;
    if (left ? tiles[0].x <= 0 : tiles[0].x + cols >= mapWidth)
        return false;
    std::vector<Tile> outgoing;
    outgoing.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
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
    offsetX = left ? tileSize : (cols - 1) * tileSize - viewWidth;
    requestCells();
    return true;
}

bool Map::new_row(bool up)
{
    if (tiles.empty())
        return false;
    if (up ? tiles[0].y <= 0 : tiles[0].y + rows >= mapHeight)
        return false;
    const std::size_t width = static_cast<std::size_t>(cols);
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
    offsetY = up ? tileSize : (rows - 1) * tileSize - viewHeight;
    requestCells();
    return true;
}

void Map::draw()
{
    if (tiles.empty() || !screen)
        return;
    const int ts = tileSize;
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
    if (api->worldAnchoredZoom()) {
        keepWorldCentreAcrossZoom(f, in);
        return true;
    }
    int centre[4] = {0, 0, 0, 0}; // tileX, tileY, pixelX, pixelY
    getCenterCoords(&centre[0], &centre[1], &centre[2], &centre[3]);
    const long long ts = tileSize;
    for (int axis = 0; axis < 2; ++axis) {
        const long long tile = centre[axis];
        const long long pixel = centre[axis + 2];
        if (in) {
            centre[axis] = truncateToInt(f * tile + (f * pixel) / ts);
            centre[axis + 2] = static_cast<int>((f * pixel) % ts);
        } else {
            centre[axis] = static_cast<int>(tile / f);
            centre[axis + 2] = static_cast<int>(((tile % f) * ts + pixel) / f);
        }
    }
    mapWidth = api->width;
    mapHeight = api->height;
    setCenterCoords(centre[0], centre[1], centre[2], centre[3]);
    return true;
}

// For sources whose levels have areas of their own: the centre's world
// pixel scaled by `f`, placed in the new level's area.
void Map::keepWorldCentreAcrossZoom(int f, bool in)
{
    const MapAPI::LevelArea before = api->areaAt(api->zoom + (in ? -1 : 1));
    const MapAPI::LevelArea after = api->areaAt(api->zoom);
    int centre[4] = {0, 0, 0, 0};
    getCenterCoords(&centre[0], &centre[1], &centre[2], &centre[3]);
    const long long ts = tileSize;
    const long long world[2] = {(before.worldX + centre[0]) * ts + centre[2], (before.worldY + centre[1]) * ts + centre[3]};
    const long long origin[2] = {after.worldX, after.worldY};
    for (int axis = 0; axis < 2; ++axis) {
        const long long w = in ? world[axis] * f : world[axis] / f;
        centre[axis] = truncateToInt(w / ts - origin[axis]);
        centre[axis + 2] = static_cast<int>(w % ts);
    }
    mapWidth = api->width;
    mapHeight = api->height;
    setCenterCoords(centre[0], centre[1], centre[2], centre[3]);
}

bool Map::saveLastPosition()
{
    if (tiles.empty())
        return false;
    int tileX = 0, tileY = 0, pixelX = 0, pixelY = 0;
    getCenterCoords(&tileX, &tileY, &pixelX, &pixelY);
    return api->savePosition(tileX, tileY, pixelX, pixelY);
}

bool Map::setBg(int index)
{
    if (tiles.empty())
        return false;
    const bool inList = index >= 0 && static_cast<std::size_t>(index) < bgTypes.size();
    api->setBg(bgTypes[inList ? static_cast<std::size_t>(index) : 0]);
    pipeline.layersChanged();
    reloadAll();
    return true;
}

bool Map::setOverlay(int index)
{
    if (tiles.empty())
        return false;
    const bool inList = index >= 0 && static_cast<std::size_t>(index) < overlayTypes.size();
    api->setOverlay(inList ? overlayTypes[static_cast<std::size_t>(index)] : std::string());
    pipeline.layersChanged();
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
