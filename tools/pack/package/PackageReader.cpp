#include "PackageReader.h"

#include "Failure.h"
#include "Files.h"
#include "Package.h"
#include "PackedMap.h"
#include "RegularFileStream.h"
#include "SafeFile.h"

#include <fstream>
#include <unistd.h>

bool PackageReader::open(const std::string& path, std::string* error)
{
    dir = path;
    conf = std::make_unique<ConfParser>(Files::withSlash(dir) + "map.conf", 1);
    std::string problem;
    api = MapAPI::forDescription(conf.get(), &problem);
    if (!api)
        return fail(error, dir + ": " + problem);
    std::vector<std::string> overlays;
    conf->stringValue("type", &layers);
    if (conf->stringValue("overlay", &overlays))
        layers.insert(layers.end(), overlays.begin(), overlays.end());
    return true;
}

int PackageReader::forEachLevel(const std::function<void(MapAPI&)>& visit) const
{
    std::size_t listed = 0, reached = 0;
    // Zooming changes the source, so each direction starts afresh.
    for (int direction : {1, -1}) {
        PackageReader p;
        if (!p.open(dir, nullptr))
            return 0;
        listed = p.api->zoomLevels.size();
        if (direction > 0) {
            visit(*p.api);
            ++reached;
        }
        while ((direction > 0 ? p.api->zoomIn() : p.api->zoomOut()) != 0) {
            visit(*p.api);
            ++reached;
        }
    }
    return static_cast<int>(listed - reached);
}

namespace {

void forEachPackedTile(MapAPI& level, const std::string& layer, const PackageReader::TileVisitor& visit,
                       std::vector<std::string>* problems)
{
    const long long cells = static_cast<long long>(level.width) * level.height;
    long long expectedFirst = 0;
    std::string bytes;
    for (int part = 0;; ++part) {
        const std::string name = PackedMap::partFileName(level.directory, layer, level.zoomValue(), part);
        // Part files are read only when they are regular files (a FIFO would never answer).
        RegularFileStream in(name);
        if (!in.isOpen()) {
            // No part at all is a level without tiles, as a loose one would be.
            if (part > 0 && expectedFirst < cells)
                problems->push_back(name + ": missing part file");
            return;
        }
        PackedMap::Header h;
        std::string why;
        if (!PackedMap::readHeader(in, &h, &why)) {
            problems->push_back(name + ": " + why);
            return;
        }
        if (h.cutShort)
            problems->push_back(name + ": cut short (tiles past the end of the file)");
        if (h.tileCount != cells)
            problems->push_back(name + ": tile count " + std::to_string(h.tileCount) + " is not the area's " +
                                std::to_string(cells));
        if (h.firstIndex != expectedFirst)
            problems->push_back(name + ": starts at index " + std::to_string(h.firstIndex) + ", expected " +
                                std::to_string(expectedFirst));
        for (int i = h.firstIndex; i < h.endIndex && i < cells; ++i)
            if (PackedMap::readTile(in, h, i, &bytes) && !visit(i, bytes))
                return;
        if (h.endIndex >= h.tileCount || h.endIndex <= h.firstIndex)
            return;
        expectedFirst = h.endIndex;
    }
}

} // namespace

void PackageReader::forEachTile(MapAPI& level, const std::string& layer, const TileVisitor& visit,
                                std::vector<std::string>* problems)
{
    const std::uint64_t cells = static_cast<std::uint64_t>(level.width) * static_cast<std::uint64_t>(level.height);
    if (cells > Package::ImportOptions().maxCells) {
        problems->push_back("zoom " + std::to_string(level.zoomValue()) + ": an area of " + std::to_string(level.width) +
                            " x " + std::to_string(level.height) + " tiles is more than the toolbox reads");
        return;
    }
    if (level.packed)
        return forEachPackedTile(level, layer, visit, problems);
    std::string bytes;
    for (int y = 0; y < level.height; ++y)
        for (int x = 0; x < level.width; ++x)
            if (SafeFile::readRegular(level.tileFileName(layer, x, y), PackedMap::maxTileBytes, &bytes) &&
                !bytes.empty() && !visit(x + level.width * y, bytes))
                return;
}
