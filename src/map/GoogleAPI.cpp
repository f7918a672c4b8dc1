#include "GoogleAPI.h"

#include "ConfParser.h"
#include "PositionKeys.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

GoogleAPI::GoogleAPI(ConfParser* conf) : MapAPI(conf)
{
    conf->intValue("begin_x", &beginX);
    conf->intValue("begin_y", &beginY);
    conf->intValue("end_x", &endX);
    conf->intValue("end_y", &endY);
    updateSize();
    readZoomLevels(true);
    // No credit is better than a wrong one: packages made by the toolbox
    // carry their source's, and a package without one names nobody.
    copyright = attribution;
}

void GoogleAPI::updateSize()
{
    width = clampToInt(static_cast<double>(endX) - beginX);
    height = clampToInt(static_cast<double>(endY) - beginY);
}

// Moves `zoom` by `direction` and scales the area: multiplied going in,
// halved (truncating) going out. Adjacent levels differ by 2, a gap in the
// list by a power of it; the area is scaled by the same factor that is
// returned. 0 when there is no next level or the area would be empty or not
// fit an int.
int GoogleAPI::step(int direction)
{
    const int next = zoom + direction;
    if (!valid() || next < 0 || next >= static_cast<int>(zoomLevels.size()))
        return 0;
    const long long levels = std::llabs(static_cast<long long>(zoomLevels[static_cast<std::size_t>(next)]) - zoomValue());
    if (levels > 30)
        return 0;
    const long long factor = 1ll << levels;
    long long area[4] = {beginX, beginY, endX, endY};
    for (long long& v : area) {
        v = direction > 0 ? v * factor : v / factor;
        if (v < INT_MIN || v > INT_MAX)
            return 0;
    }
    // A level where the area comes to nothing would strand the view.
    if (area[2] - area[0] <= 0 || area[3] - area[1] <= 0)
        return 0;
    zoom = next;
    beginX = static_cast<int>(area[0]);
    beginY = static_cast<int>(area[1]);
    endX = static_cast<int>(area[2]);
    endY = static_cast<int>(area[3]);
    updateSize();
    return static_cast<int>(factor);
}

int GoogleAPI::zoomIn()
{
    return step(1);
}

int GoogleAPI::zoomOut()
{
    return step(-1);
}

bool GoogleAPI::savePosition(const ViewCentre& at)
{
    if (!valid())
        return false;
    std::vector<std::pair<std::string, int>> keys{
        {"begin_x", beginX}, {"begin_y", beginY}, {"end_x", endX}, {"end_y", endY}, {"zoom_actual", zoomValue()}};
    for (const auto& kv : PositionKeys::of(at))
        keys.push_back(kv);
    return saveKeys(keys);
}

std::string GoogleAPI::typeAlias(const std::string& name)
{
    if (name.empty() || name[0] != 'w')
        return "type_google_satellite";
    if (name.size() >= 3 && name[2] == 't')
        return "type_google_overlay";
    if (name.size() >= 3 && name[2] == 'p')
        return "type_google_terrain";
    return "type_google_base";
}

MapAPI::LevelArea GoogleAPI::areaAt(int level) const
{
    LevelArea a;
    if (!valid() || level < 0 || level >= static_cast<int>(zoomLevels.size()))
        return a;
    a.zoomValue = zoomLevels[static_cast<std::size_t>(level)];
    const int factor = levelFactor(zoom, level);
    if (factor == 0)
        return a;
    long long area[4] = {beginX, beginY, endX, endY};
    for (long long& v : area)
        v = level > zoom ? v * factor : v / factor;
    a.worldX = area[0];
    a.worldY = area[1];
    a.width = clampToInt(static_cast<double>(area[2] - area[0]));
    a.height = clampToInt(static_cast<double>(area[3] - area[1]));
    return a;
}

bool GoogleAPI::mercatorLevel(int level, int* z) const
{
    if (level < 0 || level >= static_cast<int>(zoomLevels.size()))
        return false;
    const int value = 17 - zoomLevels[static_cast<std::size_t>(level)];
    if (value < 0 || value > 30)
        return false;
    *z = value;
    return true;
}

std::string GoogleAPI::tileFileNameAt(const std::string& layer, int level, int x, int y) const
{
    const LevelArea a = areaAt(level);
    char tail[96];
    std::snprintf(tail, sizeof tail, "&x=%lld&y=%lld&zoom=%i", a.worldX + x, a.worldY + y, a.zoomValue);
    return directory + layer + "/v=" + layer + tail;
}
