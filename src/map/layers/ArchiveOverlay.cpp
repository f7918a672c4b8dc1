#include "ArchiveOverlay.h"

#include "MapAPI.h"

int ArchiveOverlay::levelCount() const
{
    return static_cast<int>(base->zoomLevels.size());
}

LevelArea ArchiveOverlay::areaAt(int level) const
{
    return base->areaAt(level);
}

int ArchiveOverlay::levelFactor(int from, int to) const
{
    return base->levelFactor(from, to);
}

TileRef ArchiveOverlay::tileRef(int level, int x, int y) const
{
    int z = 0;
    const LevelArea a = base->areaAt(level);
    if (!base->mercatorLevel(level, &z) || x < 0 || y < 0 || x >= a.width || y >= a.height)
        return TileRef();
    return archive->worldTile(z, a.worldX + x, a.worldY + y);
}
