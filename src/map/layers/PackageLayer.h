#ifndef TESSEL_PACKAGELAYER_H
#define TESSEL_PACKAGELAYER_H

#include "LayerSource.h"

class MapAPI;

// One layer of a package (a folder of loose or packed tiles) as a source:
// the package's numbering answers, this holds which layer. The package
// outlives every layer it hands out (the view drops them on closing).
class PackageLayer : public LayerSource {
public:
    PackageLayer(const MapAPI* api, std::string layer, bool credited) : api(api), layer(std::move(layer)), credited(credited) {}

    int levelCount() const override;
    LevelArea areaAt(int level) const override;
    TileRef tileRef(int level, int x, int y) const override;
    int levelFactor(int from, int to) const override;
    std::string credits() const override;
    std::string name() const override { return layer; }

private:
    const MapAPI* api;
    std::string layer;
    bool credited; // the package's credit line covers all its layers: the base carries it
};

#endif
