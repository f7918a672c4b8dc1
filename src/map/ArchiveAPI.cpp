#include "ArchiveAPI.h"

#include "ConfParser.h"
#include "Mercator.h"
#include "MetadataText.h"
#include "PositionKeys.h"
#include "StyleChooser.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

std::unique_ptr<ArchiveAPI> ArchiveAPI::open(const std::string& path, ConfParser* conf, std::string* error,
                                             int viewWidth, int viewHeight)
{
    const std::unique_ptr<TileArchive> archive = TileArchive::open(path, error);
    if (!archive)
        return nullptr;
    ArchiveInfo info = archive->info();
    std::string style;
    if (info.format == "pbf")
        style = StyleChooser::choose(path, StyleChooser::layersOf(info.metadataJson, info.sampleTile), stylesDir);
    std::unique_ptr<ArchiveAPI> api(new ArchiveAPI(conf, path, std::move(info), std::move(style), viewWidth, viewHeight));
    if (!api->valid()) {
        *error = "no level with tiles";
        return nullptr;
    }
    return api;
}

ArchiveAPI::ArchiveAPI(ConfParser* conf, std::string path, ArchiveInfo info, std::string style, int viewWidth,
                       int viewHeight)
    : MapAPI(conf), path(std::move(path)), about(std::move(info)), stylePath(std::move(style))
{
    packed = false;
    if (!stylePath.empty())
        addOverzoomLevels();
    addressing = std::make_unique<ArchiveSource>(this->path, about.levels, stylePath, deepestData);
    addressing->overZoomLevels = stylePath.empty() ? 0 : overzoomLevels;
    for (const ArchiveLevel& l : about.levels)
        zoomLevels.push_back(l.z);
    refreshCopyright();
    if (zoomLevels.empty())
        return;
    // The saved level when it is present, else the one nearest the centre's.
    int saved = -1;
    const auto found = conf->intValue("zoom_actual", &saved) ? std::find(zoomLevels.begin(), zoomLevels.end(), saved)
                                                            : zoomLevels.end();
    if (found != zoomLevels.end()) {
        showLevel(static_cast<int>(found - zoomLevels.begin()));
        return;
    }
    // A centre far coarser than the data (a city made to level 14 whose
    // centre says 7) would open on a speck: no coarser than the level where
    // the bounds fill the screen.
    const int start = about.hasCentre && about.centreZoom >= 0 ? nearestLevel(about.centreZoom) : 0;
    const int filled = fillingLevel(viewWidth, viewHeight);
    showLevel(filled >= 0 && zoomLevels[static_cast<std::size_t>(filled)] > zoomLevels[static_cast<std::size_t>(start)]
                  ? filled
                  : start);
}

int ArchiveAPI::fillingLevel(int viewWidth, int viewHeight) const
{
    if (!about.hasBounds || about.levels.empty())
        return -1;
    const int deepest = deepestData > 0 ? deepestData : about.levels.back().z;
    int best = -1;
    for (std::size_t i = 0; i < zoomLevels.size(); ++i) {
        const int z = zoomLevels[i];
        double west, north, east, south;
        Mercator::toPixel(about.west, about.north, z, &west, &north);
        Mercator::toPixel(about.east, about.south, z, &east, &south);
        const bool fits = east - west <= viewWidth && south - north <= viewHeight;
        if (z <= deepest && fits && (best < 0 || z > zoomLevels[static_cast<std::size_t>(best)]))
            best = static_cast<int>(i);
    }
    return best;
}

void ArchiveAPI::addOverzoomLevels()
{
    if (about.levels.empty())
        return;
    const ArchiveLevel deepest = about.levels.back();
    deepestData = deepest.z;
    for (int k = 1; k <= overzoomLevels && deepest.z + k <= TileArchive::maxZoom; ++k) {
        ArchiveLevel l;
        l.z = deepest.z + k;
        l.minX = deepest.minX << k;
        l.minY = deepest.minY << k;
        l.maxX = ((deepest.maxX + 1) << k) - 1;
        l.maxY = ((deepest.maxY + 1) << k) - 1;
        about.levels.push_back(l);
    }
}

std::string ArchiveAPI::startLayer(const std::vector<std::string>& offered) const
{
    int dark = 0;
    if (!stylePath.empty() && conf->intValue("dark", &dark) && dark == 1 && offered.size() == 2)
        return offered[1];
    return MapAPI::startLayer(offered);
}

int ArchiveAPI::nearestLevel(int z) const
{
    int best = -1;
    for (std::size_t i = 0; i < zoomLevels.size(); ++i)
        if (best < 0 || std::llabs(static_cast<long long>(zoomLevels[i]) - z) <
                            std::llabs(static_cast<long long>(zoomLevels[static_cast<std::size_t>(best)]) - z))
            best = static_cast<int>(i);
    return best;
}

void ArchiveAPI::showLevel(int level)
{
    zoom = level;
    const ArchiveLevel& l = about.levels[static_cast<std::size_t>(level)];
    beginX = static_cast<int>(l.minX);
    beginY = static_cast<int>(l.minY);
    endX = static_cast<int>(l.maxX + 1);
    endY = static_cast<int>(l.maxY + 1);
    width = endX - beginX;
    height = endY - beginY;
}

// Levels are 2^n apart; the factor is what the view scales by.
int ArchiveAPI::step(int direction)
{
    const int next = zoom + direction;
    if (!valid() || next < 0 || next >= static_cast<int>(zoomLevels.size()))
        return 0;
    const int factor = levelFactor(zoom, next);
    if (factor == 0)
        return 0;
    showLevel(next);
    return factor;
}

int ArchiveAPI::zoomIn()
{
    return step(1);
}

int ArchiveAPI::zoomOut()
{
    return step(-1);
}

bool ArchiveAPI::savePosition(const ViewCentre& at)
{
    if (!valid())
        return false;
    // An archive keeps the world tile: its areas differ from level to level.
    const ViewCentre world{clampToInt(static_cast<double>(beginX) + at.tileX),
                           clampToInt(static_cast<double>(beginY) + at.tileY), at.pixelX, at.pixelY};
    std::vector<std::pair<std::string, int>> keys{{"zoom_actual", zoomValue()}};
    for (const auto& kv : PositionKeys::of(world))
        keys.push_back(kv);
    if (!stylePath.empty())
        keys.push_back({"dark", bg.name == darkName ? 1 : 0});
    return saveKeys(keys, true);
}

bool ArchiveAPI::keepLayerChoice()
{
    if (!valid() || stylePath.empty())
        return true;
    return saveKeys({{"dark", bg.name == darkName ? 1 : 0}}, true);
}

LayerList ArchiveAPI::shownLayers() const
{
    auto source = std::make_shared<ArchiveSource>(*addressing);
    source->dark = bg.name == darkName;
    source->credit = copyright;
    return {{source, 100}};
}

std::string ArchiveAPI::typeAlias(const std::string& name)
{
    return stylePath.empty() ? "type_archive" : "type_" + name;
}

void ArchiveAPI::refreshCopyright()
{
    copyright = MetadataText::fromHtml(about.attribution);
}

std::string ArchiveAPI::tileFileNameAt(const std::string&, int, int, int) const
{
    return std::string();
}

MapAPI::LevelArea ArchiveAPI::areaAt(int level) const
{
    return addressing->areaAt(level);
}

bool ArchiveAPI::mercatorLevel(int level, int* z) const
{
    if (level < 0 || level >= static_cast<int>(zoomLevels.size()))
        return false;
    *z = zoomLevels[static_cast<std::size_t>(level)];
    return true;
}

TileRef ArchiveAPI::tileRef(const MapType& layer, int level, int x, int y) const
{
    if (layer.name.empty())
        return TileRef();
    ArchiveSource drawn = *addressing;
    drawn.dark = layer.name == darkName;
    return drawn.tileRef(level, x, y);
}

std::vector<std::string> ArchiveAPI::layers(const char* key) const
{
    if (std::string(key) == "type" && !stylePath.empty())
        return {lightName, darkName};
    if (std::string(key) == "type")
        return {layerName};
    return {};
}

bool ArchiveAPI::areaPosition(double x, double y, ViewCentre* at) const
{
    const double tx = std::floor(x / 256), ty = std::floor(y / 256);
    if (!(std::fabs(tx) < 1e9 && std::fabs(ty) < 1e9))
        return false;
    *at = ViewCentre{static_cast<int>(tx - beginX), static_cast<int>(ty - beginY), static_cast<int>(x - tx * 256),
                     static_cast<int>(y - ty * 256)};
    return true;
}

// The saved position (world tile at the saved level), else the metadata's
// centre, else the centre of the bounds; the view keeps inside the area.
bool ArchiveAPI::startPosition(ViewCentre* at) const
{
    int level = 0;
    ViewCentre saved;
    if (conf->intValue("zoom_actual", &level) && PositionKeys::read(*conf, &saved) && level == zoomValue()) {
        *at = ViewCentre{clampToInt(static_cast<double>(saved.tileX) - beginX),
                         clampToInt(static_cast<double>(saved.tileY) - beginY), saved.pixelX, saved.pixelY};
        return true;
    }
    double lon, lat;
    if (about.hasCentre) {
        lon = about.centreLon;
        lat = about.centreLat;
    } else if (about.hasBounds) {
        lon = (about.west + about.east) / 2;
        lat = (about.south + about.north) / 2;
    } else {
        return false;
    }
    double x, y;
    Mercator::toPixel(lon, lat, zoomValue(), &x, &y);
    return areaPosition(x, y, at);
}
