#ifndef TESSEL_PACK_DEMBUILDER_H
#define TESSEL_PACK_DEMBUILDER_H

#include "ProgressBar.h"

#include <functional>
#include <string>
#include <vector>

// SRTM .hgt tiles into a Terrarium PMTiles archive over their area: 256 px
// PNG tiles from level 0 to the first level whose pixels are as fine as the
// samples (11 for 3″ tiles, 13 for 1″), metadata "encoding": "terrarium".
// Voids are filled from their neighbours up to `fillReach` samples into a
// hole; larger holes stay transparent, never −32768 m. The archive is
// written beside its name and renamed over it only when complete.
namespace DemBuilder {

struct Options {
    int fillReach = 16;
    int zoomMax = -1; // -1: from the samples' spacing
    Progress progress;
    std::function<bool()> interrupted;
    std::function<void(const std::string&)> note; // what the user should know (voids left)
};

// The first level whose pixels (of longitude) are no wider than `degrees`.
int deepestLevel(double degrees);
bool build(const std::vector<std::string>& hgtFiles, const std::string& output, const Options& options,
           std::string* error);

} // namespace DemBuilder

#endif
