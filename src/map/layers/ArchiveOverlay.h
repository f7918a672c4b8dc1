#ifndef TESSEL_ARCHIVEOVERLAY_H
#define TESSEL_ARCHIVEOVERLAY_H

#include "ArchiveSource.h"

#include <memory>

class MapAPI;

// An archive laid over another map: asked for a tile of one of the base's
// levels, it answers with its own tile of the same Web Mercator level and
// place (none over a base on another plane). The base outlives it.
class ArchiveOverlay : public LayerSource {
public:
    ArchiveOverlay(const MapAPI* base, std::shared_ptr<const ArchiveSource> archive)
        : base(base), archive(std::move(archive))
    {
    }

    int levelCount() const override;
    LevelArea areaAt(int level) const override;
    TileRef tileRef(int level, int x, int y) const override;
    int levelFactor(int from, int to) const override;
    std::string credits() const override { return archive->credits(); }
    std::string name() const override { return archive->name(); }

private:
    const MapAPI* base;
    std::shared_ptr<const ArchiveSource> archive;
};

#endif
