#include "MapAPI.h"

#include "ConfParser.h"
#include "GoogleAPI.h"
#include "SeznamAPI.h"

#include <SDL_image.h>
#include <algorithm>
#include <cstdlib>

namespace {

const char* const missingTileFile = "media/na.png";

} // namespace

MapAPI::MapAPI(ConfParser* conf) : conf(conf)
{
    conf->boolValue("packed", &packed);
    const std::size_t slash = conf->file.rfind('/');
    directory = slash == std::string::npos ? std::string() : conf->file.substr(0, slash + 1);
}

std::unique_ptr<MapAPI> MapAPI::forPackage(ConfParser* conf)
{
    std::string api;
    conf->stringValue("api", &api);
    if (api == "google")
        return std::make_unique<GoogleAPI>(conf);
    return std::make_unique<SeznamAPI>(conf);
}

bool MapAPI::hasRequiredKeys(const ConfParser& conf)
{
    std::string text;
    for (const char* key : {"packed", "zoom", "zoom_actual", "begin_x", "begin_y", "end_x", "end_y"})
        if (!conf.value(key, &text))
            return false;
    return conf.value("type", &text) && !text.empty();
}

MapAPI::~MapAPI()
{
    if (missingImage)
        SDL_FreeSurface(missingImage);
}

int MapAPI::tileSize() const
{
    return 256;
}

void MapAPI::refreshCopyright() {}

bool MapAPI::valid() const
{
    return width > 0 && height > 0 && zoom >= 0 && zoom < static_cast<int>(zoomLevels.size());
}

void MapAPI::readZoomLevels(bool descending)
{
    std::vector<int> levels;
    conf->intValue("zoom", &levels);
    std::sort(levels.begin(), levels.end());
    levels.erase(std::unique(levels.begin(), levels.end()), levels.end());
    if (descending)
        std::reverse(levels.begin(), levels.end());
    zoomLevels = levels;
    zoom = -1;
    int actual = 0;
    if (!conf->intValue("zoom_actual", &actual))
        return;
    const auto it = std::find(zoomLevels.begin(), zoomLevels.end(), actual);
    if (it != zoomLevels.end())
        zoom = static_cast<int>(it - zoomLevels.begin());
}

void MapAPI::reopenLayers()
{
    if (!packed)
        return;
    bg.part = 0;
    overlay.part = 0;
    loadPackedMap(&bg);
    loadPackedMap(&overlay);
}

bool MapAPI::saveKeys(const std::vector<std::pair<std::string, int>>& values)
{
    std::string stored;
    bool same = true;
    for (const auto& kv : values) {
        if (!conf->value(kv.first, &stored))
            return false;
        same = same && stored == std::to_string(kv.second);
    }
    // The same position again (the exit page after the save icon) writes
    // nothing, so the backup keeps the position before it.
    if (same && !conf->changed)
        return true;
    for (const auto& kv : values)
        conf->changeValue(kv.first, kv.second, 0);
    return conf->save();
}

int MapAPI::clampToInt(double value)
{
    if (!(value > -2147483648.0 && value < 2147483648.0))
        return 0;
    return static_cast<int>(value);
}

bool MapAPI::loadImage(const std::string& path, SDL_Surface** out)
{
    SDL_Surface* s = IMG_Load(path.c_str());
    if (!s)
        return false;
    *out = s;
    return true;
}

TileRef MapAPI::tileRef(const MapType& layer, int level, int x, int y) const
{
    TileRef ref;
    if (layer.name.empty() || level < 0 || level >= static_cast<int>(zoomLevels.size()))
        return ref;
    const LevelArea area = areaAt(level);
    if (x < 0 || y < 0 || x >= area.width || y >= area.height)
        return ref;
    if (packed) {
        ref.kind = TileRef::Kind::packed;
        ref.path = directory;
        ref.layer = layer.name;
        ref.zoom = area.zoomValue;
        ref.index = x + static_cast<long long>(area.width) * y;
    } else {
        ref.kind = TileRef::Kind::file;
        ref.path = tileFileNameAt(layer.name, level, x, y);
    }
    return ref;
}

bool MapAPI::mercatorLevel(int, int*) const
{
    return false;
}

int MapAPI::levelFactor(int from, int to) const
{
    const long long steps = std::llabs(static_cast<long long>(zoomLevels[static_cast<std::size_t>(from)]) -
                                       zoomLevels[static_cast<std::size_t>(to)]);
    return steps > 30 ? 0 : 1 << steps;
}

bool MapAPI::inArea(const Tile& tile) const
{
    return tile.x >= 0 && tile.y >= 0 && tile.x < width && tile.y < height;
}

bool MapAPI::loadLayerTile(MapType* layer, Tile* tile, SDL_Surface** out)
{
    if (!inArea(*tile))
        return false;
    return packed ? loadPackedTile(layer, tile, out) : loadRawTile(layer, tile, out);
}

// The picture for a missing tile, decoded once; a plain grey tile when
// "media/na.png" cannot be read.
SDL_Surface* MapAPI::missingTile()
{
    if (!missingImage && !loadImage(missingTileFile, &missingImage)) {
        const int size = tileSize();
        missingImage = SDL_CreateRGBSurface(SDL_SWSURFACE, size, size, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
        if (missingImage)
            SDL_FillRect(missingImage, nullptr, SDL_MapRGB(missingImage->format, 128, 128, 128));
    }
    return missingImage;
}

void MapAPI::loadTile(Tile* tile)
{
    ++tilesLoaded;
    SDL_Surface* s = nullptr;
    if (loadLayerTile(&bg, tile, &s)) {
        tile->surface = SDL_DisplayFormat(s);
        SDL_FreeSurface(s);
    } else {
        SDL_Surface* missing = missingTile();
        tile->surface = missing ? SDL_DisplayFormat(missing) : nullptr;
        return; // no overlay over a missing tile
    }
    if (overlay.name.empty() || !tile->surface)
        return;
    SDL_Surface* o = nullptr;
    if (loadLayerTile(&overlay, tile, &o)) {
        SDL_UpperBlit(o, nullptr, tile->surface, nullptr);
        SDL_FreeSurface(o);
    }
}

void MapAPI::setBg(std::string name)
{
    bg.name = name;
    bg.part = 0;
    refreshCopyright();
    loadPackedMap(&bg);
}

void MapAPI::setOverlay(std::string name)
{
    overlay.name = name;
    overlay.part = 0;
    refreshCopyright();
    loadPackedMap(&overlay);
}

bool MapAPI::loadPackedMap(MapType* layer)
{
    if (!packed)
        return true;
    if (layer->file.is_open())
        layer->file.close();
    layer->file.clear();
    if (layer->name.empty() || !valid())
        return true;
    layer->file.open(PackedMap::partFileName(directory, layer->name, zoomValue(), layer->part), std::ios::binary);
    if (!layer->file.is_open())
        return false;
    PackedMap::Header header;
    if (!PackedMap::readHeader(layer->file, &header)) {
        layer->file.close();
        return false;
    }
    layer->tileCount = header.tileCount;
    layer->firstIndex = header.firstIndex;
    layer->endIndex = header.endIndex;
    layer->fileSize = header.fileSize;
    return true;
}

bool MapAPI::loadPackedTile(MapType* layer, Tile* tile, SDL_Surface** out)
{
    // A position outside the area is absent, never a tile of another row.
    if (!layer->file.is_open() || !inArea(*tile))
        return false;
    const long long index = tile->x + static_cast<long long>(width) * tile->y;
    if (index < 0 || index >= layer->tileCount)
        return false;
    const int i = static_cast<int>(index);

    // Step one part at a time to the part holding i. A missing or broken
    // part ends the search: the tile is absent and the part that was open
    // is opened again, so the other tiles stay readable.
    const int startPart = layer->part;
    bool found = true;
    while (found && i >= layer->endIndex) {
        ++layer->part;
        found = loadPackedMap(layer);
    }
    while (found && i < layer->firstIndex) {
        --layer->part;
        found = layer->part >= 0 && loadPackedMap(layer);
    }
    if (!found || i < layer->firstIndex || i >= layer->endIndex) {
        layer->part = startPart;
        loadPackedMap(layer);
        return false;
    }

    PackedMap::Header header;
    header.tileCount = layer->tileCount;
    header.firstIndex = layer->firstIndex;
    header.endIndex = layer->endIndex;
    header.fileSize = layer->fileSize;
    std::string bytes;
    if (!PackedMap::readTile(layer->file, header, i, &bytes))
        return false;
    SDL_Surface* s = IMG_Load_RW(SDL_RWFromMem(&bytes[0], static_cast<int>(bytes.size())), 1);
    if (!s)
        return false;
    *out = s;
    return true;
}
