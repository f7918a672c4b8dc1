// Package::import: sources read one level at a time into a package whose
// area holds every tile of every level kept, scaled level to level as the
// viewer scales it.
#include "Package.h"

#include "Codecs.h"
#include "ConfParser.h"
#include "Failure.h"
#include "Files.h"
#include "LevelSpool.h"
#include "MetadataText.h"
#include "PackedMap.h"
#include "SafeFile.h"
#include "TileDecoder.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <sstream>

namespace Package {

using namespace Files;

namespace {

struct Area {
    long long beginX = 0, beginY = 0, endX = 0, endY = 0;
    long long width() const { return endX - beginX; }
    long long height() const { return endY - beginY; }
    bool empty() const { return width() <= 0 || height() <= 0; }
    bool holds(long long x, long long y) const { return x >= beginX && x < endX && y >= beginY && y < endY; }
};

// The area at level z of an area at the coarser level `from`: doubled per
// level in, as the viewer doubles it.
Area areaAt(const Area& a, int from, int z)
{
    Area r = a;
    for (long long* v : {&r.beginX, &r.beginY, &r.endX, &r.endY})
        *v <<= z - from;
    return r;
}

// The tiles of level `z` that hold the area `a` of the deeper level
// `from`: halved per level out, the far edges rounded up.
Area outward(const Area& a, int from, int z)
{
    const int shift = from - z;
    const long long round = (1ll << shift) - 1;
    return Area{a.beginX >> shift, a.beginY >> shift, (a.endX + round) >> shift, (a.endY + round) >> shift};
}

Area unite(const Area& a, const Area& b)
{
    return Area{std::min(a.beginX, b.beginX), std::min(a.beginY, b.beginY), std::max(a.endX, b.endX),
                std::max(a.endY, b.endY)};
}

// What the options let through at level z: the bbox's tiles, or all.
Area wantedAt(const ImportOptions& o, int z)
{
    if (!o.bbox)
        return Area{0, 0, 1ll << z, 1ll << z};
    int minX, minY, maxX, maxY;
    tileOf(o.west, o.north, z, &minX, &minY);
    tileOf(o.east, o.south, z, &maxX, &maxY);
    return Area{minX, minY, maxX + 1ll, maxY + 1ll};
}

Area intersect(const Area& a, const Area& b)
{
    return Area{std::max(a.beginX, b.beginX), std::max(a.beginY, b.beginY), std::min(a.endX, b.endX),
                std::min(a.endY, b.endY)};
}

struct Plan {
    std::vector<int> levels; // kept, coarsest first
    std::map<int, Area> areas;
    std::map<int, Area> extents; // of the tiles of each level kept
    int actual = 0;
};

void warn(const ImportOptions& o, const std::string& kind, const std::string& text)
{
    if (o.warn)
        o.warn(kind, text);
}

std::string cellsText(const Area& a)
{
    return std::to_string(a.width()) + " x " + std::to_string(a.height()) + " cells";
}

bool withinCap(const Area& a, const ImportOptions& o)
{
    return a.width() <= 0x7fffffff && a.height() <= 0x7fffffff &&
           static_cast<std::uint64_t>(a.width()) * static_cast<std::uint64_t>(a.height()) <= o.maxCells;
}

// A level left out, said with what the source holds there.
void leaveOut(const TileSource& base, const ImportOptions& o, int z, const std::string& why)
{
    long long tiles = 0;
    for (const ArchiveLevel& l : base.levels())
        tiles += l.z == z ? l.tiles : 0;
    warn(o, "levels left out",
         "level " + std::to_string(z) + ": its " + std::to_string(tiles) + " tiles are left out" +
             (o.bbox ? " (in the whole level)" : "") + ": " + why);
}

// The levels and their areas, or a refusal before anything is written.
// The area is one rectangle scaled level to level (as the viewer scales
// it), so it is taken at the coarsest level, rounded outward to hold every
// tile of every deeper one; a level that would take a deeper one's area
// past the cap is left out, coarsest first, as is a level too large itself.
bool plan(const TileSource& base, const ImportOptions& o, Plan* p, std::string* error)
{
    std::map<int, Area>& extents = p->extents;
    for (const ArchiveLevel& l : base.levels()) {
        if (l.z < o.zoomMin || l.z > o.zoomMax)
            continue;
        const Area e = intersect(Area{l.minX, l.minY, l.maxX + 1, l.maxY + 1}, wantedAt(o, l.z));
        if (!e.empty())
            extents[l.z] = e;
    }
    if (extents.empty())
        return fail(error, base.levels().empty() ? "no raster tiles in " + base.label
                                                 : "no tiles of " + base.label + " in the chosen levels and area");
    std::string tooLarge;
    for (auto e = extents.begin(); e != extents.end();) {
        if (withinCap(e->second, o)) {
            ++e;
            continue;
        }
        tooLarge = "level " + std::to_string(e->first) + " would have " + cellsText(e->second) + " (more than " +
                   std::to_string(o.maxCells) + "): choose a smaller --bbox or a lower --zoom-max, or open " +
                   base.label + " in the viewer directly";
        leaveOut(base, o, e->first, tooLarge);
        e = extents.erase(e);
    }
    if (extents.empty())
        return fail(error, tooLarge);
    const int deepest = extents.rbegin()->first;
    for (auto start = extents.begin(); start != extents.end(); ++start) {
        Area united = start->second;
        for (auto e = std::next(start); e != extents.end(); ++e)
            united = unite(united, outward(e->second, e->first, start->first));
        const Area deep = areaAt(united, start->first, deepest);
        if (!withinCap(deep, o)) {
            leaveOut(base, o, start->first,
                     "with it level " + std::to_string(deepest) + " would have " + cellsText(deep) + " (more than " +
                         std::to_string(o.maxCells) + ")");
            continue;
        }
        for (auto e = start; e != extents.end(); ++e) {
            p->levels.push_back(e->first);
            p->areas[e->first] = areaAt(united, start->first, e->first);
        }
        break;
    }
    p->actual = o.zoomActual >= 0 ? o.zoomActual : deepest;
    if (!p->areas.count(p->actual))
        return fail(error, "no tiles at level " + std::to_string(p->actual) + " among the levels kept");
    return true;
}

std::string googleName(const std::string& layer, long long x, long long y, int z)
{
    return layer + "/v=" + layer + "&x=" + std::to_string(x) + "&y=" + std::to_string(y) + "&zoom=" + std::to_string(17 - z);
}

// Decodes each tile once: undecodable ones are skipped, other sizes than
// 256 are stored scaled as PNG. Repeated bytes (a run) are looked at once.
class TileCheck {
public:
    explicit TileCheck(const ImportOptions& o) : o(o) {}

    // The bytes to store for the tile at z/x/y, or false to skip it.
    bool accept(const std::string& bytes, int z, long long x, long long y, const std::string** stored)
    {
        if (bytes != lastIn) {
            lastIn = bytes;
            Bitmap bitmap;
            std::string why;
            lastOk = TileDecoder::decode(bytes, 256, &bitmap, &why);
            lastOut.clear();
            const bool webp = TileDecoder::sniff(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) ==
                              TileDecoder::Format::webp;
            if (lastOk && o.toPng && webp && bitmap.sourceWidth == 256 && bitmap.sourceHeight == 256)
                lastOut = Codecs::encodeBitmap(bitmap);
            if (lastOk && (bitmap.sourceWidth != 256 || bitmap.sourceHeight != 256)) {
                lastOut = Codecs::encodeBitmap(bitmap);
                warn(o, "tiles scaled to 256 pixels", where(z, x, y) + ": " + std::to_string(bitmap.sourceWidth) + "x" +
                                                           std::to_string(bitmap.sourceHeight) + " tile scaled to 256x256");
            }
            lastWhy = why;
        }
        if (!lastOk) {
            warn(o, "undecodable tiles", where(z, x, y) + ": " + lastWhy + ", skipped");
            return false;
        }
        *stored = lastOut.empty() ? &lastIn : &lastOut;
        return true;
    }

private:
    static std::string where(int z, long long x, long long y)
    {
        return "tile " + std::to_string(z) + "/" + std::to_string(x) + "/" + std::to_string(y);
    }

    const ImportOptions& o;
    std::string lastIn, lastOut, lastWhy;
    bool lastOk = false;
};

struct Counts {
    std::uint64_t done = 0, total = 0;
    std::map<int, std::uint64_t> written; // background tiles per level
};

// Writes one layer at one level: loose files, or part files from a spool.
bool writeLevel(TileSource& source, const std::string& layer, int z, const Area& a, const ImportOptions& o,
                const std::string& root, bool background, Counts* counts, const Progress& progress, std::string* error)
{
    const Area query = intersect(wantedAt(o, z), Area{0, 0, 1ll << z, 1ll << z});
    LevelSpool spool;
    TileCheck check(o);
    std::uint64_t outside = 0, written = 0;
    bool ok = true;
    const bool read = source.forEachTile(
        z, query.beginX, query.beginY, query.endX - 1, query.endY - 1,
        [&](long long x, long long y, const std::string& bytes) {
            if (o.interrupted && o.interrupted()) {
                ok = fail(error, "interrupted");
                return false;
            }
            if (progress)
                progress(++counts->done, counts->total);
            if (!a.holds(x, y)) {
                ++outside;
                return true;
            }
            const std::string* stored = nullptr;
            if (bytes.empty() || !check.accept(bytes, z, x, y, &stored))
                return true;
            const long long index = (x - a.beginX) + a.width() * (y - a.beginY);
            ok = o.packed ? spool.add(static_cast<std::uint32_t>(index), *stored)
                          : writeBytes(root + googleName(layer, x, y, z), *stored);
            if (!ok)
                fail(error, "cannot write a tile of " + layer);
            written += ok ? 1 : 0;
            return ok;
        },
        error);
    if (!read || !ok)
        return false;
    if (outside)
        warn(o, "tiles outside the area", "layer " + layer + ", level " + std::to_string(z) + ": " +
                                              std::to_string(outside) + " tiles outside the area left out");
    if (background)
        counts->written[z] = written;
    if (!o.packed || written == 0)
        return true;
    spool.finish();
    return PackedMap::writeLevel(root, layer, 17 - z, spool.tiles(static_cast<int>(a.width() * a.height())),
                                 o.partSize, error) >= 0;
}

// The credit a package shows: the one given, else the source's (HTML there).
std::string credit(const ImportOptions& o, const TileSource& base)
{
    return !o.attribution.empty() ? o.attribution : MetadataText::fromHtml(base.attribution);
}

// The caption and attribution go through the settings writer, so that any
// text a source names reads back as it was (quotes included; line breaks
// become spaces).
std::string describe(const std::string& caption, const std::string& attribution, bool packed,
                     const std::vector<Layer>& layers, const std::vector<int>& levels, int actual, const Area& area,
                     const Area& tiles)
{
    ConfParser head("", 1);
    head.parameters.push_back(ConfParameter{"", "# Made by tessel-pack."});
    head.setValue("caption", caption);
    if (!attribution.empty())
        head.setValue("attribution", attribution);
    head.changed = false; // written below, never saved as a file of its own
    std::ostringstream conf;
    head.write(conf);
    conf << "api=google\npacked=" << (packed ? "yes" : "no") << "\n";
    for (const Layer& layer : layers)
        conf << (layer.overlay ? "overlay=" : "type=") << layer.name << "\n";
    for (int z : levels)
        conf << "zoom=" << 17 - z << "\n";
    conf << "zoom_actual=" << 17 - actual << "\n";
    conf << "begin_x=" << area.beginX << "\nbegin_y=" << area.beginY << "\nend_x=" << area.endX
         << "\nend_y=" << area.endY << "\n";
    // The view opens at the centre of the tiles, which may lie anywhere in
    // an area taken from a coarser level.
    const long long cx = 256 * (tiles.beginX - area.beginX) + 128 * tiles.width();
    const long long cy = 256 * (tiles.beginY - area.beginY) + 128 * tiles.height();
    conf << "pos_x=" << cx / 256 << "\npos_y=" << cy / 256 << "\nmove_x=" << cx % 256 << "\nmove_y=" << cy % 256
         << "\n";
    return conf.str();
}

bool nameLayers(std::vector<Layer>* layers, const ImportOptions& o, std::string* error)
{
    std::vector<std::string> names;
    for (Layer& layer : *layers) {
        if (layer.name.empty())
            layer.name = layer.overlay ? o.overlayLayer : !o.layer.empty() ? o.layer
                                                        : layer.source->format == "JPEG" ? "sat" : "wab";
        if (std::count(names.begin(), names.end(), layer.name) || layer.name.find_first_of("/ \t") != std::string::npos)
            return fail(error, "layer name \"" + layer.name + "\" is used twice or is not a plain name");
        names.push_back(layer.name);
    }
    return true;
}

} // namespace

bool import(const std::vector<Layer>& given, const ImportOptions& o, const std::string& dir, std::string* error,
            const Progress& progress)
{
    if (given.empty() || given.front().overlay)
        return fail(error, "a package needs a background layer");
    TileSource& base = *given.front().source;
    Plan p;
    if (!plan(base, o, &p, error))
        return false;
    std::vector<Layer> layers = given;
    if (!nameLayers(&layers, o, error))
        return false;
    if (SafeFile::present(dir))
        return fail(error, dir + " exists already");
    const std::string built = withoutSlash(dir) + ".partial";
    if (SafeFile::present(built)) {
        removeTree(built);
        warn(o, "notes", "removed " + built + ", left by an interrupted import");
    }
    if (!makeDir(built))
        return fail(error, "cannot create " + built);
    const std::string root = withSlash(built);
    Counts counts;
    for (const Layer& layer : layers)
        for (const ArchiveLevel& l : layer.source->levels())
            counts.total += std::count(p.levels.begin(), p.levels.end(), l.z) ? static_cast<std::uint64_t>(l.tiles) : 0;
    bool ok = true;
    for (const Layer& layer : layers) {
        ok = ok && makeDir(root + layer.name);
        for (int z : p.levels)
            ok = ok && writeLevel(*layer.source, layer.name, z, p.areas[z], o, root, &layer == &layers.front(), &counts,
                                  progress, error);
    }
    // Levels whose background got no tile are not listed.
    std::vector<int> listed;
    for (int z : p.levels)
        if (counts.written[z] > 0)
            listed.push_back(z);
    if (ok && listed.empty())
        ok = fail(error, "no tile of " + base.label + " could be decoded");
    if (ok && !counts.written[p.actual])
        p.actual = listed.back();
    const std::string caption = !o.caption.empty() ? o.caption : !base.name.empty() ? base.name : "Imported map";
    ok = ok && writeBytes(root + "map.conf",
                          describe(caption, credit(o, base), o.packed, layers, listed, p.actual, p.areas[p.actual],
                                   p.extents[p.actual]));
    if (ok && std::rename(built.c_str(), withoutSlash(dir).c_str()) == 0)
        return true;
    removeTree(built);
    return ok ? fail(error, "cannot move the package to " + dir) : false;
}

} // namespace Package
