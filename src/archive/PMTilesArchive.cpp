#include "PMTilesArchive.h"

#include "FileBytes.h"
#include "Gzip.h"
#include "MetadataText.h"
#include "PMTilesPicker.h"

#include <algorithm>

namespace {

const std::size_t maxLeavesKept = 64;
// Archives declaring more tile entries are not walked when opened: the
// header's levels and bounds give their extents.
const std::uint64_t maxEntriesWalkedAtOpen = 1000000;

const char* compressionName(int c)
{
    return c == 3 ? "brotli" : c == 4 ? "zstd" : "unknown";
}

} // namespace

std::unique_ptr<TileArchive> PMTilesArchive::open(const std::string& path, std::string* error, Reading reading)
{
    std::string why;
    std::unique_ptr<FileBytes> file = FileBytes::open(path, &why);
    if (!file) {
        *error = "cannot be read";
        return nullptr;
    }
    return open(std::move(file), error, reading);
}

// The header, the root directory and the metadata as extract reads them.
std::unique_ptr<TileArchive> PMTilesArchive::open(std::unique_ptr<ByteSource> bytes, std::string* error,
                                                  Reading reading)
{
    std::unique_ptr<PMTilesArchive> a(new PMTilesArchive());
    a->bytes = std::move(bytes);
    PMTilesPicker picker(*a->bytes);
    picker.metadataOptional = true;
    if (!picker.open(error))
        return nullptr;
    a->h = picker.header();
    if (a->h.tileCompression > PMTiles::Header::gzip) {
        *error = std::string(compressionName(a->h.tileCompression)) + " compression is not supported";
        return nullptr;
    }
    a->root = picker.rootDirectory();
    if (reading == Reading::whole && !a->readLevels(error))
        return nullptr;
    a->readMetadata(picker.metadata());
    return std::unique_ptr<TileArchive>(a.release());
}

bool PMTilesArchive::read(std::uint64_t offset, std::uint64_t length, std::string* out) const
{
    std::string why;
    return offset <= bytes->size() && length <= bytes->size() - offset && bytes->read(offset, length, out, &why) &&
           out->size() == length;
}

bool PMTilesArchive::decompress(int compression, std::string* bytes, std::size_t limit) const
{
    if (compression != 2)
        return bytes->size() <= limit;
    std::string plain;
    if (!Gzip::inflate(*bytes, &plain, limit))
        return false;
    bytes->swap(plain);
    return true;
}

bool PMTilesArchive::loadDirectory(std::uint64_t offset, std::uint64_t length, std::vector<PMTiles::Entry>* entries,
                                   std::uint64_t maxEntries, bool* overBudget) const
{
    std::string stored;
    return length <= maxDirectoryBytes && read(offset, length, &stored) &&
           PMTiles::readDirectory(stored, h.internalCompression == PMTiles::Header::gzip, entries, maxEntries,
                                  overBudget);
}

const std::vector<PMTiles::Entry>* PMTilesArchive::leaf(PMTiles::Entry e)
{
    const auto found = leaves.find(e.offset);
    if (found != leaves.end())
        return &found->second;
    std::vector<PMTiles::Entry> entries;
    if (e.offset > h.leafLength || !loadDirectory(h.leafOffset + e.offset, e.length, &entries))
        return nullptr;
    if (leaves.size() >= maxLeavesKept)
        leaves.clear();
    return &(leaves[e.offset] = std::move(entries));
}

bool PMTilesArchive::tileData(const PMTiles::Entry& e, std::string* bytes) const
{
    if (e.offset > h.dataLength || e.length > h.dataLength - e.offset || e.length > maxTileBytes)
        return false;
    return read(h.dataOffset + e.offset, e.length, bytes) && decompress(h.tileCompression, bytes, maxTileBytes);
}

bool PMTilesArchive::tile(int z, long long x, long long y, std::string* bytes)
{
    if (z < 0 || z > PMTiles::maxZoom || x < 0 || y < 0 || x >= (1ll << z) || y >= (1ll << z))
        return false;
    const std::uint64_t id = PMTiles::tileId(z, static_cast<std::uint64_t>(x), static_cast<std::uint64_t>(y));
    const std::vector<PMTiles::Entry>* directory = &root;
    for (int depth = 0; directory && depth <= maxLeafDepth; ++depth) {
        const PMTiles::Entry* found = PMTiles::findEntry(*directory, id);
        if (!found)
            return false;
        // A copy: reading the next leaf may drop the cached one holding it.
        const PMTiles::Entry e = *found;
        if (e.runLength > 0) // an empty tile is a tile (a vector tile of no features)
            return e.length == 0 ? (bytes->clear(), true) : tileData(e, bytes);
        directory = leaf(e);
    }
    return false;
}

// Leaves whose ids cannot reach [state->from, state->to) are not read: a
// leaf holds the ids from its own entry's up to the next entry's.
bool PMTilesArchive::walkDirectory(const std::vector<PMTiles::Entry>& entries, int depth, std::uint64_t end,
                                   WalkState* state, const EntryVisitor& visit, std::string* error)
{
    for (std::size_t i = 0; i < entries.size() && !state->stopped; ++i) {
        const PMTiles::Entry& e = entries[i];
        if (++state->visited > state->limit) {
            state->overLimit = true;
            *error = "directories with more than " + std::to_string(state->limit) + " entries";
            return false;
        }
        if (e.runLength > 0) {
            state->stopped = !visit(e);
            continue;
        }
        const std::uint64_t next = i + 1 < entries.size() ? entries[i + 1].tileId : end;
        if (next <= state->from || e.tileId >= state->to)
            continue;
        if (depth >= maxLeafDepth) {
            *error = "leaf directories nested deeper than " + std::to_string(maxLeafDepth);
            return false;
        }
        // Counted before the leaf is held: its entries must fit in what is left.
        std::vector<PMTiles::Entry> children;
        bool overBudget = false;
        if (e.offset > h.leafLength || !loadDirectory(h.leafOffset + e.offset, e.length, &children,
                                                      state->limit - state->visited, &overBudget)) {
            state->overLimit = overBudget;
            *error = overBudget ? "directories with more than " + std::to_string(state->limit) + " entries"
                                : "damaged leaf directory";
            return false;
        }
        if (!walkDirectory(children, depth + 1, next, state, visit, error))
            return false;
    }
    return true;
}

bool PMTilesArchive::walk(const EntryVisitor& visit, std::string* error, std::uint64_t from, std::uint64_t to,
                          bool* overLimit)
{
    WalkState state;
    state.from = from;
    state.to = to;
    state.limit = overLimit ? std::min(entryLimit, maxEntriesWalkedAtOpen) : entryLimit;
    const bool walked = walkDirectory(root, 0, ~0ull, &state, visit, error);
    if (overLimit)
        *overLimit = state.overLimit;
    return walked;
}

// The levels and their extents: from the directories when the archive is
// small enough to walk at once, else from the header's levels and bounds,
// or (when the header has none) from the entries a bounded walk reached.
// The first tile tells the format when the header does not.
bool PMTilesArchive::readLevels(std::string* error)
{
    about.hasBounds = h.west < h.east && h.south < h.north && h.west >= -180 && h.east <= 180 && h.south >= -90 &&
                      h.north <= 90;
    about.west = h.west;
    about.south = h.south;
    about.east = h.east;
    about.north = h.north;
    const bool headerLevels = about.hasBounds && h.minZoom <= h.maxZoom && h.maxZoom <= maxZoom;
    bool tooMany = h.tileEntries > maxEntriesWalkedAtOpen && headerLevels;
    PMTiles::Entry first;
    bool any = false;
    if (!tooMany && !walkLevels(&first, &any, &tooMany, error))
        return false;
    if (tooMany && headerLevels) {
        levelsFromBounds(h.minZoom, h.maxZoom);
        walk([&](const PMTiles::Entry& e) {
            first = e;
            any = true;
            return false;
        }, error);
    }
    if (!any) {
        *error = "no tiles";
        return false;
    }
    std::string sample;
    tileData(first, &sample);
    const char* declared[] = {"", "mvt", "png", "jpeg", "webp", "avif", "mlt"};
    return acceptFormat(h.tileType <= 6 ? declared[h.tileType] : "", sample, error);
}

// The levels' extents from the tile entries, a run at a time (by its
// squares, never id by id). A walk past maxEntriesWalkedAtOpen stops and
// sets *tooMany: what it reached stands as a sample.
bool PMTilesArchive::walkLevels(PMTiles::Entry* first, bool* any, bool* tooMany, std::string* error)
{
    std::map<int, ArchiveLevel> levels;
    const bool walked = walk(
        [&](const PMTiles::Entry& e) {
            if (!*any)
                *first = e;
            *any = true;
            PMTiles::forEachSquare(e.tileId, e.runLength, [&](const PMTiles::Square& s) {
                const long long x0 = static_cast<long long>(s.x), y0 = static_cast<long long>(s.y);
                const long long x1 = x0 + static_cast<long long>(s.size) - 1, y1 = y0 + static_cast<long long>(s.size) - 1;
                ArchiveLevel& l = levels[s.z];
                if (l.tiles == 0)
                    l = ArchiveLevel{s.z, x0, y0, x1, y1, 0};
                l.minX = std::min(l.minX, x0);
                l.maxX = std::max(l.maxX, x1);
                l.minY = std::min(l.minY, y0);
                l.maxY = std::max(l.maxY, y1);
                l.tiles += static_cast<long long>(s.size * s.size);
            });
            return true;
        },
        error, 0, ~0ull, tooMany);
    for (const auto& level : levels)
        about.levels.push_back(level.second);
    if (*tooMany)
        error->clear();
    return walked || *tooMany;
}

void PMTilesArchive::readMetadata(const std::string& json)
{
    if (about.hasBounds && h.centreLon >= h.west && h.centreLon <= h.east && h.centreLat >= h.south &&
        h.centreLat <= h.north && (h.centreLon != 0 || h.centreLat != 0)) {
        about.hasCentre = true;
        about.centreLon = h.centreLon;
        about.centreLat = h.centreLat;
        about.centreZoom = h.centreZoom <= maxZoom ? h.centreZoom : -1;
    }
    if (json.size() > (1u << 20))
        return;
    MetadataText::jsonString(json, "name", &about.name);
    MetadataText::jsonString(json, "attribution", &about.attribution);
    about.name = MetadataText::bounded(about.name);
    about.attribution = MetadataText::bounded(about.attribution);
    about.metadataJson = json;
}

bool PMTilesArchive::forEachTile(const Visitor& visit, std::string* error)
{
    std::string bytes;
    bool damaged = false;
    const bool walked = walk(
        [&](const PMTiles::Entry& e) {
            int z;
            std::uint64_t x, y;
            if (!PMTiles::tileFromId(e.tileId, &z, &x, &y) || !tileData(e, &bytes)) {
                damaged = true;
                return false;
            }
            return visit(z, static_cast<long long>(x), static_cast<long long>(y), static_cast<long long>(e.runLength),
                         bytes);
        },
        error);
    if (walked && damaged)
        *error = "tile data outside the archive or damaged";
    return walked && !damaged;
}

// Only the entries whose ids reach into level z are read; a run's bytes are
// read once and handed to every cell of it inside the box, found square by
// square, so a run over a whole level costs what the box holds.
bool PMTilesArchive::forEachTileAt(int z, long long minX, long long minY, long long maxX, long long maxY,
                                   const CellVisitor& visit, std::string* error)
{
    if (z < 0 || z > PMTiles::maxZoom)
        return true;
    const std::uint64_t first = PMTiles::tileId(z, 0, 0);
    const std::uint64_t end = z == PMTiles::maxZoom ? ~0ull : PMTiles::tileId(z + 1, 0, 0);
    std::string bytes;
    bool damaged = false;
    const bool walked = walk(
        [&](const PMTiles::Entry& e) {
            if (e.tileId >= end || e.tileId + e.runLength <= first)
                return true;
            if (!tileData(e, &bytes)) {
                damaged = true;
                return false;
            }
            const std::uint64_t from = std::max(e.tileId, first), to = std::min(e.tileId + e.runLength, end);
            bool going = true;
            PMTiles::forEachSquare(from, to - from, [&](const PMTiles::Square& s) {
                const long long x0 = std::max(minX, static_cast<long long>(s.x));
                const long long y0 = std::max(minY, static_cast<long long>(s.y));
                const long long x1 = std::min(maxX, static_cast<long long>(s.x + s.size) - 1);
                const long long y1 = std::min(maxY, static_cast<long long>(s.y + s.size) - 1);
                for (long long y = y0; y <= y1 && going; ++y)
                    for (long long x = x0; x <= x1 && going; ++x)
                        going = visit(x, y, bytes);
            });
            return going;
        },
        error, first, end);
    if (walked && damaged)
        *error = "tile data outside the archive or damaged";
    return walked && !damaged;
}
