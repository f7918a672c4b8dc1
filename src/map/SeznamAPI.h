#ifndef TESSEL_SEZNAMAPI_H
#define TESSEL_SEZNAMAPI_H

#include "MapAPI.h"

// Seznam's numbering: tiles named by the lower-left corner in one fixed
// plane (units of 0x1000); a tile of level z spans 2^(16 - z) units. The
// vertical axis grows upward. The area keys never change with the level.
class SeznamAPI : public MapAPI {
public:
    explicit SeznamAPI(ConfParser* conf);

    int zoomIn() override;
    int zoomOut() override;
    bool savePosition(const ViewCentre& at) override;
    std::string typeAlias(const std::string& name) override;
    void refreshCopyright() override;

    // "<directory><layer>/<z>_<X hex>000_<Y hex>000"
    std::string tileFileNameAt(const std::string& layer, int level, int x, int y) const override;
    LevelArea areaAt(int level) const override;

private:
    // Plane units per tile at a level (the current one by default).
    double step(int level) const;
    double step() const { return step(zoom); }
    void updateSize();
    bool keepsArea(int oldZoom);
};

#endif
