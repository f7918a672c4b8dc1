#include "SeznamAPI.h"

#include "ConfParser.h"
#include "PositionKeys.h"


#include <cmath>
#include <cstdio>

SeznamAPI::SeznamAPI(ConfParser* conf) : MapAPI(conf)
{
    conf->hexValue("begin_x", &beginX);
    conf->hexValue("begin_y", &beginY);
    conf->hexValue("end_x", &endX);
    conf->hexValue("end_y", &endY);
    readZoomLevels(false);
    updateSize();
    refreshCopyright();
}

double SeznamAPI::step(int level) const
{
    return std::pow(2.0, 16.0 - zoomLevels[static_cast<std::size_t>(level)]);
}

namespace {

// floor(value) when it is a sane tile number, else 0.
long long floorTile(double value)
{
    const double f = std::floor(value);
    return f > -4.0e15 && f < 4.0e15 ? static_cast<long long>(f) : 0;
}

} // namespace

// Rows are counted downward in the world numbering, so that a tile's parent
// is found by halving as in Google's.
MapAPI::LevelArea SeznamAPI::areaAt(int level) const
{
    LevelArea a;
    if (level < 0 || level >= static_cast<int>(zoomLevels.size()))
        return a;
    const double s = step(level);
    a.zoomValue = zoomLevels[static_cast<std::size_t>(level)];
    a.width = clampToInt((static_cast<double>(endX) - beginX) / s);
    a.height = clampToInt((static_cast<double>(endY) - beginY) / s);
    a.worldX = floorTile(beginX / s);
    a.worldY = -floorTile(endY / s);
    return a;
}

void SeznamAPI::updateSize()
{
    if (zoom < 0 || zoom >= static_cast<int>(zoomLevels.size())) {
        width = height = 0;
        return;
    }
    width = clampToInt((static_cast<double>(endX) - beginX) / step());
    height = clampToInt((static_cast<double>(endY) - beginY) / step());
}

// After a zoom step: back to level `oldZoom` when the area came to nothing
// there, so the view is never stranded.
bool SeznamAPI::keepsArea(int oldZoom)
{
    updateSize();
    if (valid())
        return true;
    zoom = oldZoom;
    updateSize();
    return false;
}

int SeznamAPI::zoomIn()
{
    if (!valid() || zoom + 1 >= static_cast<int>(zoomLevels.size()))
        return 0;
    const int oldValue = zoomValue();
    ++zoom;
    if (!keepsArea(zoom - 1))
        return 0;
    return clampToInt(std::pow(2.0, static_cast<double>(zoomValue()) - oldValue));
}

int SeznamAPI::zoomOut()
{
    if (!valid() || zoom <= 0)
        return 0;
    const int oldValue = zoomValue();
    --zoom;
    if (!keepsArea(zoom + 1))
        return 0;
    return clampToInt(std::pow(2.0, static_cast<double>(oldValue) - zoomValue()));
}

bool SeznamAPI::savePosition(const ViewCentre& at)
{
    if (!valid())
        return false;
    std::vector<std::pair<std::string, int>> keys{{"zoom_actual", zoomValue()}};
    for (const auto& kv : PositionKeys::of(at))
        keys.push_back(kv);
    return saveKeys(keys);
}

std::string SeznamAPI::typeAlias(const std::string& name)
{
    return "type_seznam_" + name;
}

void SeznamAPI::refreshCopyright()
{
    if (!attribution.empty()) {
        copyright = attribution;
        return;
    }
    const std::string& b = bg.name;
    const std::string& o = overlay.name;
    copyright = "\xC2\xA9 ";
    if (b == "base")
        copyright += "PLANstudio";
    else if (b == "turist")
        copyright += "SHOCart";
    else if (b == "ophoto" || b == "ophoto0203")
        copyright += "GEODIS BRNO";
    if (o.empty())
        return;
    if (o == "relief-l")
        copyright += ", Seznam.cz";
    else if ((o == "ttur" || o == "tcyklo") && b != "turist")
        copyright += ", SHOCart";
    else if (o == "hybrid" && b != "base")
        copyright += ", PLANStudio";
    else if (o == "army")
        copyright += ", M\xC5\xBDP \xC4\x8CR"; // ", MŽP ČR"
}

std::string SeznamAPI::tileFileNameAt(const std::string& layer, int level, int x, int y) const
{
    if (level < 0 || level >= static_cast<int>(zoomLevels.size()))
        return std::string();
    const double s = step(level);
    const int planeX = clampToInt(beginX + x * s);
    const int planeY = clampToInt(endY - (y + 1.0) * s);
    char tail[64];
    std::snprintf(tail, sizeof tail, "/%i_%x000_%x000", zoomLevels[static_cast<std::size_t>(level)], static_cast<unsigned>(planeX),
                  static_cast<unsigned>(planeY));
    return directory + layer + tail;
}
