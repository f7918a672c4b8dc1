#include "PackageLayer.h"

#include "MapAPI.h"

int PackageLayer::levelCount() const
{
    return static_cast<int>(api->zoomLevels.size());
}

LevelArea PackageLayer::areaAt(int level) const
{
    return api->areaAt(level);
}

TileRef PackageLayer::tileRef(int level, int x, int y) const
{
    return api->tileRef(MapType{layer}, level, x, y);
}

int PackageLayer::levelFactor(int from, int to) const
{
    return api->levelFactor(from, to);
}

std::string PackageLayer::credits() const
{
    return credited ? api->copyright : std::string();
}
