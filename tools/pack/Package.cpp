#include "Package.h"

#include "Codecs.h"
#include "Failure.h"
#include "Files.h"
#include "ConfParser.h"
#include "MapAPI.h"
#include "Mercator.h"
#include "MetadataText.h"
#include "PackedMap.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace Package {

using namespace Files;

void tileOf(double lon, double lat, int z, int* x, int* y)
{
    double px, py;
    Mercator::toPixel(lon, lat, z, &px, &py);
    const double last = std::ldexp(1.0, z) - 1;
    *x = static_cast<int>(std::max(0.0, std::min(last, std::floor(px / 256))));
    *y = static_cast<int>(std::max(0.0, std::min(last, std::floor(py / 256))));
}

// --- reading a package

namespace {

// A package opened for the tools: its description, source and layers.
struct Opened {
    std::unique_ptr<ConfParser> conf;
    std::unique_ptr<MapAPI> api;
    std::vector<std::string> layers;
};

bool open(const std::string& dir, Opened* p, std::string* error)
{
    p->conf = std::make_unique<ConfParser>(withSlash(dir) + "map.conf", 1);
    if (p->conf->parameters.empty())
        return fail(error, withSlash(dir) + "map.conf is missing or empty");
    if (!MapAPI::hasRequiredKeys(*p->conf))
        return fail(error, "map.conf lacks a required key (packed, type, zoom, zoom_actual, begin_x, begin_y, end_x, end_y)");
    std::string bad;
    if (!MapAPI::layersAreFolderNames(*p->conf, &bad))
        return fail(error, "the layer name \"" + bad + "\" in map.conf is not a folder name");
    p->api = MapAPI::forPackage(p->conf.get());
    if (!p->api->valid())
        return fail(error, "zoom_actual is not one of the zoom levels, or the area is empty");
    std::vector<std::string> overlays;
    p->conf->stringValue("type", &p->layers);
    if (p->conf->stringValue("overlay", &overlays))
        p->layers.insert(p->layers.end(), overlays.begin(), overlays.end());
    return true;
}

// Calls `visit` with the source at every level, reached from zoom_actual
// as the viewer reaches them.
// Returns how many of the listed levels cannot be reached (a step to a
// level whose area comes to nothing is refused, by the viewer too).
int forEachLevel(const std::string& dir, const std::function<void(MapAPI&)>& visit)
{
    std::size_t listed = 0, reached = 0;
    for (int direction : {1, -1}) {
        Opened p;
        std::string error;
        if (!open(dir, &p, &error))
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

// Every tile of one layer at the source's current level, by index x + width * y.
struct LevelRead {
    std::vector<std::string> tiles;
    std::vector<std::string> problems; // damage found while reading
};

LevelRead readPackedLevel(MapAPI& api, const std::string& layer)
{
    LevelRead r;
    r.tiles.resize(static_cast<std::size_t>(api.width) * static_cast<std::size_t>(api.height));
    int expectedFirst = 0;
    for (int part = 0;; ++part) {
        const std::string name = PackedMap::partFileName(api.directory, layer, api.zoomValue(), part);
        std::ifstream in(name, std::ios::binary);
        if (!in) {
            // No part at all is a level without tiles, as a loose one would be.
            if (part > 0 && expectedFirst < static_cast<int>(r.tiles.size()))
                r.problems.push_back(name + ": missing part file");
            break;
        }
        PackedMap::Header h;
        std::string why;
        if (!PackedMap::readHeader(in, &h, &why)) {
            r.problems.push_back(name + ": " + why);
            break;
        }
        if (h.cutShort)
            r.problems.push_back(name + ": cut short (tiles past the end of the file)");
        if (h.tileCount != static_cast<int>(r.tiles.size()))
            r.problems.push_back(name + ": tile count " + std::to_string(h.tileCount) + " is not the area's " +
                                 std::to_string(r.tiles.size()));
        if (h.firstIndex != expectedFirst)
            r.problems.push_back(name + ": starts at index " + std::to_string(h.firstIndex) + ", expected " +
                                 std::to_string(expectedFirst));
        for (int i = h.firstIndex; i < h.endIndex && i < static_cast<int>(r.tiles.size()); ++i)
            PackedMap::readTile(in, h, i, &r.tiles[static_cast<std::size_t>(i)]);
        if (h.endIndex >= h.tileCount || h.endIndex <= h.firstIndex)
            break;
        expectedFirst = h.endIndex;
    }
    return r;
}

LevelRead readLooseLevel(MapAPI& api, const std::string& layer)
{
    LevelRead r;
    r.tiles.resize(static_cast<std::size_t>(api.width) * static_cast<std::size_t>(api.height));
    for (int y = 0; y < api.height; ++y)
        for (int x = 0; x < api.width; ++x)
            readBytes(api.tileFileName(layer, x, y), &r.tiles[static_cast<std::size_t>(x + api.width * y)]);
    return r;
}

LevelRead readLevel(MapAPI& api, const std::string& layer)
{
    const std::uint64_t cells = static_cast<std::uint64_t>(api.width) * static_cast<std::uint64_t>(api.height);
    if (cells > ImportOptions().maxCells) {
        LevelRead r;
        r.problems.push_back("zoom " + std::to_string(api.zoomValue()) + ": an area of " + std::to_string(api.width) +
                             " x " + std::to_string(api.height) + " tiles is more than the toolbox reads");
        return r;
    }
    return api.packed ? readPackedLevel(api, layer) : readLooseLevel(api, layer);
}

} // namespace

bool convert(const std::string& dir, bool packed, const std::string& out, std::uint64_t partSize, std::string* error,
             const Progress& progress, const std::function<void(const std::string&)>& note)
{
    Opened p;
    if (!open(dir, &p, error))
        return false;
    if (p.api->packed == packed && out.empty())
        return fail(error, std::string("the package is ") + (packed ? "packed" : "loose") + " already");
    const std::string source = withoutSlash(dir);
    const std::string target = out.empty() ? source + ".converting" : withoutSlash(out);
    if (exists(target) && !out.empty())
        return fail(error, target + " exists already");
    for (const std::string& stale : {target, source + ".old"})
        if (out.empty() && exists(stale)) {
            removeTree(stale);
            if (note)
                note("removed " + stale + ", left by an interrupted run");
        }
    if (!makeDir(target))
        return fail(error, "cannot create " + target);
    const std::string root = withSlash(target);
    bool ok = true;
    std::uint64_t done = 0;
    for (const std::string& layer : p.layers)
        ok = ok && makeDir(root + layer);
    forEachLevel(dir, [&](MapAPI& api) {
        for (const std::string& layer : p.layers) {
            if (!ok)
                return;
            LevelRead level = readLevel(api, layer);
            if (!level.problems.empty()) {
                ok = fail(error, level.problems.front());
                return;
            }
            if (packed) {
                ok = PackedMap::writeLevel(root, layer, api.zoomValue(), level.tiles, partSize, error) >= 0;
            } else {
                for (int i = 0; ok && i < static_cast<int>(level.tiles.size()); ++i)
                    if (!level.tiles[static_cast<std::size_t>(i)].empty())
                        ok = writeBytes(root + api.tileFileName(layer, i % api.width, i / api.width)
                                                   .substr(api.directory.size()),
                                        level.tiles[static_cast<std::size_t>(i)]);
            }
            if (progress)
                progress(++done, 0);
        }
    });
    ConfParser described = *p.conf;
    described.changeValue("packed", packed ? "yes" : "no", 0);
    described.changed = false; // written below, never back to the source
    {
        std::ofstream conf(root + "map.conf", std::ios::binary | std::ios::trunc);
        described.write(conf);
        ok = ok && conf.good();
    }
    if (!ok) {
        removeTree(target);
        if (error && error->empty())
            *error = "cannot write " + target;
        return false;
    }
    if (!out.empty())
        return true;
    // In place: swap the finished package in, then drop the old one.
    const std::string old = source + ".old";
    removeTree(old);
    if (std::rename(source.c_str(), old.c_str()) != 0) {
        removeTree(target);
        return fail(error, "cannot move " + source + " aside");
    }
    if (std::rename(target.c_str(), source.c_str()) != 0) {
        std::rename(old.c_str(), source.c_str());
        removeTree(target);
        return fail(error, "cannot move the converted package into place");
    }
    removeTree(old);
    return true;
}

bool check(const std::string& dir, std::ostream& report, const Progress& progress)
{
    Opened p;
    std::string error;
    if (!open(dir, &p, &error)) {
        report << "FAIL " << error << "\n";
        return false;
    }
    bool ok = true;
    for (const std::string& layer : p.layers)
        if (!exists(p.api->directory + layer)) {
            report << "FAIL layer directory " << p.api->directory + layer << " is missing\n";
            ok = false;
        }
    std::uint64_t done = 0;
    const int unreachable = forEachLevel(dir, [&](MapAPI& api) {
        for (const std::string& layer : p.layers) {
            const LevelRead level = readLevel(api, layer);
            for (const std::string& problem : level.problems) {
                report << "FAIL " << problem << "\n";
                ok = false;
            }
            int present = 0, missing = 0, broken = 0;
            for (const std::string& bytes : level.tiles) {
                if (bytes.empty())
                    ++missing;
                else if (Codecs::decodable(bytes))
                    ++present;
                else
                    ++broken;
            }
            if (broken)
                ok = false;
            report << (broken ? "FAIL " : "ok   ") << "layer " << layer << ", zoom " << api.zoomValue() << ": "
                   << present << " tiles, " << missing << " missing, " << broken << " undecodable\n";
            if (progress)
                progress(++done, 0);
        }
    });
    if (unreachable > 0) {
        report << "FAIL " << unreachable << " of the levels listed cannot be shown: the area comes to nothing there\n";
        ok = false;
    }
    report << (ok ? "package is sound\n" : "package is damaged\n");
    return ok;
}

bool info(const std::string& dir, std::ostream& out, std::string* error)
{
    Opened p;
    if (!open(dir, &p, error))
        return false;
    std::string caption, api;
    p.conf->value("caption", &caption);
    p.conf->value("api", &api);
    out << "caption: " << caption << "\nscheme:  " << (api == "google" ? "Google" : "Seznam") << "\nstorage: "
        << (p.api->packed ? "packed part files" : "loose tile files") << "\nlayers: ";
    for (const std::string& layer : p.layers)
        out << " " << layer;
    out << "\nopens at zoom " << p.api->zoomValue() << "\n";
    std::uint64_t allTiles = 0, allBytes = 0;
    forEachLevel(dir, [&](MapAPI& level) {
        for (const std::string& layer : p.layers) {
            const LevelRead read = readLevel(level, layer);
            std::uint64_t tiles = 0, bytes = 0;
            for (const std::string& t : read.tiles) {
                tiles += t.empty() ? 0 : 1;
                bytes += t.size();
            }
            allTiles += tiles;
            allBytes += bytes;
            out << "zoom " << level.zoomValue() << ", " << layer << ": area " << level.width << " x " << level.height
                << " (x " << level.beginX << "-" << level.endX << ", y " << level.beginY << "-" << level.endY << "), "
                << tiles << " tiles, " << bytes << " bytes";
            for (const std::string& problem : read.problems)
                out << "; " << problem;
            out << "\n";
        }
    });
    out << "total: " << allTiles << " tiles, " << allBytes << " bytes\n";
    return true;
}

} // namespace Package
