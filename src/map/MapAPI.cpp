#include "MapAPI.h"

#include "ArchiveAPI.h"
#include "ConfParser.h"
#include "GoogleAPI.h"
#include "SeznamAPI.h"
#include "MetadataText.h"
#include "PackageLayer.h"
#include "PositionKeys.h"
#include "TileReader.h"

#include <SDL_image.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

MapAPI::MapAPI(ConfParser* conf) : conf(conf)
{
    conf->boolValue("packed", &packed);
    std::string text;
    if (conf->value("attribution", &text))
        attribution = MetadataText::fromHtml(text);
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

// The source of a package: an archive read in place (its position file
// beside it), else the scheme its description names.
std::unique_ptr<MapAPI> MapAPI::open(const std::string& path, ConfParser* candidate, std::string* why, int viewWidth,
                                     int viewHeight)
{
    std::string reason;
    std::unique_ptr<MapAPI> source;
    if (TileArchive::hasArchiveName(path) || TileArchive::kindOf(path) != TileArchive::Kind::none) {
        *candidate = ConfParser::recovered(path + ".conf");
        source = ArchiveAPI::open(path, candidate, &reason, viewWidth, viewHeight);
    } else {
        *candidate = ConfParser::recovered(path);
        source = forDescription(candidate, &reason);
    }
    if (!source && why)
        *why = reason;
    return source;
}

std::unique_ptr<MapAPI> MapAPI::forDescription(ConfParser* conf, std::string* problem)
{
    *problem = descriptionProblem(*conf);
    if (!problem->empty())
        return nullptr;
    std::unique_ptr<MapAPI> source = forPackage(conf);
    if (source->valid())
        return source;
    *problem = "zoom_actual is not one of its levels, or its area is empty";
    return nullptr;
}

std::string MapAPI::descriptionProblem(const ConfParser& conf)
{
    if (conf.parameters.empty())
        return "map.conf is missing or empty";
    std::string missing;
    if (!hasRequiredKeys(conf, &missing))
        return "map.conf lacks the key " + missing;
    std::string bad;
    if (!layersAreFolderNames(conf, &bad))
        return "the layer name \"" + bad + "\" is not a folder name";
    return std::string();
}

bool MapAPI::layersAreFolderNames(const ConfParser& conf, std::string* bad)
{
    for (const char* key : {"type", "overlay"}) {
        std::vector<std::string> names;
        conf.stringValue(key, &names);
        for (const std::string& name : names)
            if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
                *bad = name;
                return false;
            }
    }
    return true;
}

bool MapAPI::hasRequiredKeys(const ConfParser& conf, std::string* missing)
{
    std::string text;
    for (const char* key : {"packed", "type", "zoom", "zoom_actual", "begin_x", "begin_y", "end_x", "end_y"})
        if (!conf.value(key, &text) || (text.empty() && key == std::string("type"))) {
            if (missing)
                *missing = key;
            return false;
        }
    return true;
}

MapAPI::~MapAPI() = default;

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

bool MapAPI::saveKeys(const std::vector<std::pair<std::string, int>>& values, bool addMissing)
{
    std::string stored;
    bool same = true;
    for (const auto& kv : values) {
        const bool found = conf->value(kv.first, &stored);
        if (!found && !addMissing)
            return false;
        same = same && found && stored == std::to_string(kv.second);
    }
    // The same position again (the exit page after the save icon) writes
    // nothing, so the backup keeps the position before it.
    if (same && !conf->changed)
        return true;
    for (const auto& kv : values)
        conf->setValue(kv.first, std::to_string(kv.second));
    return conf->save();
}

int MapAPI::clampToInt(double value)
{
    if (!(value > -2147483648.0 && value < 2147483648.0))
        return 0;
    return static_cast<int>(value);
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

std::vector<std::string> MapAPI::layers(const char* key) const
{
    std::vector<std::string> names;
    conf->stringValue(key, &names);
    return names;
}

bool MapAPI::startPosition(ViewCentre* at) const
{
    return PositionKeys::read(*conf, at);
}

LayerList MapAPI::shownLayers() const
{
    LayerList shown{{std::make_shared<PackageLayer>(this, bg.name, true), 100}};
    if (!overlay.name.empty())
        shown.push_back({std::make_shared<PackageLayer>(this, overlay.name, false), 100});
    return shown;
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

void MapAPI::setBg(std::string name)
{
    bg.name = name;
    refreshCopyright();
}

void MapAPI::setOverlay(std::string name)
{
    overlay.name = name;
    refreshCopyright();
}

bool MapAPI::loadTileImage(const MapType& layer, int x, int y, SDL_Surface** out)
{
    if (!valid() || x < 0 || y < 0 || x >= width || y >= height)
        return false;
    if (!reader)
        reader = std::make_unique<TileReader>();
    std::string bytes;
    if (!reader->read(tileRef(layer, zoom, x, y), &bytes) || bytes.empty())
        return false;
    SDL_Surface* s = IMG_Load_RW(SDL_RWFromMem(&bytes[0], static_cast<int>(bytes.size())), 1);
    if (!s)
        return false;
    *out = s;
    return true;
}
