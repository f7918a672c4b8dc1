#include "Package.h"

#include "Codecs.h"
#include "Failure.h"
#include "Files.h"
#include "ConfParser.h"
#include "MapAPI.h"
#include "Mercator.h"
#include "MetadataText.h"
#include "LevelSpool.h"
#include "PackageReader.h"
#include "PackedMap.h"
#include "SafeFile.h"

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

namespace {

std::string levelName(const std::string& layer, MapAPI& api)
{
    return "layer " + layer + ", zoom " + std::to_string(api.zoomValue());
}

// Copies one layer's tiles at the level into `root`: loose files, or part
// files through a spool (the tiles come in index order, so it only waits
// for the part sizes).
bool copyLevel(MapAPI& api, const std::string& layer, bool packed, const std::string& root, std::uint64_t partSize,
               std::string* error)
{
    LevelSpool spool;
    bool ok = true;
    std::vector<std::string> problems;
    PackageReader::forEachTile(
        api, layer,
        [&](int i, const std::string& bytes) {
            ok = packed ? spool.add(static_cast<std::uint32_t>(i), bytes)
                        : writeBytes(root + api.tileFileName(layer, i % api.width, i / api.width)
                                                .substr(api.directory.size()),
                                     bytes);
            if (!ok)
                fail(error, "cannot write a tile of " + levelName(layer, api));
            return ok;
        },
        &problems);
    if (!problems.empty())
        return fail(error, problems.front());
    if (!ok || !packed)
        return ok;
    spool.finish();
    return PackedMap::writeLevel(root, layer, api.zoomValue(), spool.tiles(api.width * api.height), partSize, error) >=
           0;
}

} // namespace

bool convert(const std::string& dir, bool packed, const std::string& out, std::uint64_t partSize, std::string* error,
             const Progress& progress, const std::function<void(const std::string&)>& note)
{
    PackageReader p;
    if (!p.open(dir, error))
        return false;
    if (p.api->packed == packed && out.empty())
        return fail(error, std::string("the package is ") + (packed ? "packed" : "loose") + " already");
    const std::string source = withoutSlash(dir);
    const std::string target = out.empty() ? source + ".converting" : withoutSlash(out);
    if (SafeFile::present(target) && !out.empty())
        return fail(error, target + " exists already");
    for (const std::string& stale : {target, source + ".old"})
        if (out.empty() && SafeFile::present(stale)) {
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
    p.forEachLevel([&](MapAPI& api) {
        for (const std::string& layer : p.layers) {
            ok = ok && copyLevel(api, layer, packed, root, partSize, error);
            if (ok && progress)
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
    PackageReader p;
    std::string error;
    if (!p.open(dir, &error)) {
        report << "FAIL " << error << "\n";
        return false;
    }
    bool ok = true;
    for (const std::string& layer : p.layers)
        if (!SafeFile::isDirectory(p.api->directory + layer)) {
            report << "FAIL layer directory " << p.api->directory + layer << " is missing\n";
            ok = false;
        }
    std::uint64_t done = 0;
    const int unreachable = p.forEachLevel([&](MapAPI& api) {
        for (const std::string& layer : p.layers) {
            std::vector<std::string> problems;
            long long present = 0, broken = 0;
            PackageReader::forEachTile(
                api, layer,
                [&](int, const std::string& bytes) {
                    ++(Codecs::decodable(bytes) ? present : broken);
                    return true;
                },
                &problems);
            for (const std::string& problem : problems)
                report << "FAIL " << problem << "\n";
            ok = ok && problems.empty() && broken == 0;
            const long long missing = static_cast<long long>(api.width) * api.height - present - broken;
            report << (broken ? "FAIL " : "ok   ") << levelName(layer, api) << ": " << present << " tiles, "
                   << std::max(0ll, missing) << " missing, " << broken << " undecodable\n";
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
    PackageReader p;
    if (!p.open(dir, error))
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
    p.forEachLevel([&](MapAPI& level) {
        for (const std::string& layer : p.layers) {
            std::vector<std::string> problems;
            std::uint64_t tiles = 0, bytes = 0;
            PackageReader::forEachTile(
                level, layer,
                [&](int, const std::string& t) {
                    ++tiles;
                    bytes += t.size();
                    return true;
                },
                &problems);
            allTiles += tiles;
            allBytes += bytes;
            out << "zoom " << level.zoomValue() << ", " << layer << ": area " << level.width << " x " << level.height
                << " (x " << level.beginX << "-" << level.endX << ", y " << level.beginY << "-" << level.endY << "), "
                << tiles << " tiles, " << bytes << " bytes";
            for (const std::string& problem : problems)
                out << "; " << problem;
            out << "\n";
        }
    });
    out << "total: " << allTiles << " tiles, " << allBytes << " bytes\n";
    return true;
}

} // namespace Package
