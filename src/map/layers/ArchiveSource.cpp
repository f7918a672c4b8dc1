#include "ArchiveSource.h"

#include <cstdlib>

LevelArea ArchiveSource::areaAt(int level) const
{
    LevelArea a;
    if (level < 0 || level >= levelCount())
        return a;
    const ArchiveLevel& l = levels[static_cast<std::size_t>(level)];
    a.zoomValue = l.z;
    a.worldX = l.minX;
    a.worldY = l.minY;
    a.width = static_cast<int>(l.maxX - l.minX + 1);
    a.height = static_cast<int>(l.maxY - l.minY + 1);
    return a;
}

int ArchiveSource::levelFactor(int from, int to) const
{
    if (from < 0 || to < 0 || from >= levelCount() || to >= levelCount())
        return 0;
    const long long steps = std::llabs(static_cast<long long>(levels[static_cast<std::size_t>(from)].z) -
                                       levels[static_cast<std::size_t>(to)].z);
    return steps > 30 ? 0 : 1 << steps;
}

TileRef ArchiveSource::tileRef(int level, int x, int y) const
{
    const LevelArea a = areaAt(level);
    if (x < 0 || y < 0 || x >= a.width || y >= a.height)
        return TileRef();
    return worldTile(a.zoomValue, a.worldX + x, a.worldY + y);
}

// A level past the deepest one of data shows a square of a data tile.
TileRef ArchiveSource::worldTile(int z, long long x, long long y) const
{
    TileRef ref;
    const int k = z - deepestData;
    const bool drawn = !style.empty() || elevation != 0;
    const int from = drawn && k > 0 && k <= overZoomLevels && k <= 30 ? k : 0;
    const ArchiveLevel* found = nullptr;
    for (const ArchiveLevel& l : levels)
        if (l.z == z - from)
            found = &l;
    const long long dataX = x >> from, dataY = y >> from;
    if (!found || x < 0 || y < 0 || dataX < found->minX || dataY < found->minY || dataX > found->maxX ||
        dataY > found->maxY)
        return ref;
    ref.kind = TileRef::Kind::archive;
    ref.path = path;
    ref.zoom = z - from;
    ref.x = dataX;
    ref.y = dataY;
    ref.style = style;
    ref.dark = dark && !style.empty();
    ref.elevation = elevation;
    ref.overZoom = from;
    ref.subX = x & ((1LL << from) - 1);
    ref.subY = y & ((1LL << from) - 1);
    return ref;
}
