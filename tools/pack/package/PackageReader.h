#ifndef TESSEL_PACK_PACKAGEREADER_H
#define TESSEL_PACK_PACKAGEREADER_H

#include "ConfParser.h"
#include "MapAPI.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A package opened for the toolbox, its tiles streamed a level at a time:
// one tile is in memory at once, never a whole level.
class PackageReader {
public:
    // False with *error when the description cannot be used.
    bool open(const std::string& dir, std::string* error);

    // Calls `visit` with the source at every level, reached from
    // zoom_actual as the viewer reaches them. Returns how many of the
    // listed levels cannot be reached (a step to a level whose area comes
    // to nothing is refused, by the viewer too).
    int forEachLevel(const std::function<void(MapAPI&)>& visit) const;

    // Every present tile of `layer` at the level's current zoom in index
    // order (x + width * y); `visit` returns false to stop. Damage found on
    // the way (part files) goes to *problems.
    using TileVisitor = std::function<bool(int index, const std::string& bytes)>;
    static void forEachTile(MapAPI& level, const std::string& layer, const TileVisitor& visit,
                            std::vector<std::string>* problems);

    std::string dir;
    std::unique_ptr<ConfParser> conf;
    std::unique_ptr<MapAPI> api;
    std::vector<std::string> layers; // backgrounds, then overlays
};

#endif
