#ifndef TESSEL_GOOGLEAPI_H
#define TESSEL_GOOGLEAPI_H

#include "MapAPI.h"

// Google's numbering: tiles (X, Y, Z) of a quadtree, Z counting down as the
// view gets closer. The area keys are tile numbers of the current level and
// are scaled with it.
class GoogleAPI : public MapAPI {
public:
    explicit GoogleAPI(ConfParser* conf);

    int zoomIn() override;
    int zoomOut() override;
    bool savePosition(const ViewCentre& at) override;
    std::string typeAlias(const std::string& name) override;

    // "<directory><layer>/v=<layer>&x=<X>&y=<Y>&zoom=<Z>"
    std::string tileFileNameAt(const std::string& layer, int level, int x, int y) const override;
    // The area keys scaled from the current level as zooming would.
    LevelArea areaAt(int level) const override;
    // Level Z = 17 - the zoom value.
    bool mercatorLevel(int level, int* z) const override;

private:
    int step(int direction);
    void updateSize();
};

#endif
