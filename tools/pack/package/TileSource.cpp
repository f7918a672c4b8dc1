#include "TileSource.h"

#include "Files.h"
#include "SafeFile.h"
#include "TileDecoder.h"

#include <algorithm>
#include <map>

namespace {

class ArchiveSource : public TileSource {
public:
    explicit ArchiveSource(std::unique_ptr<TileArchive> archive) : archive(std::move(archive))
    {
        const ArchiveInfo& info = this->archive->info();
        present = info.levels;
        name = info.name;
        attribution = info.attribution;
        format = info.format;
    }

    bool forEachTile(int z, long long minX, long long minY, long long maxX, long long maxY,
                     const TileArchive::CellVisitor& visit, std::string* error) override
    {
        return archive->forEachTileAt(z, minX, minY, maxX, maxY, visit, error);
    }

private:
    std::unique_ptr<TileArchive> archive;
};

// Tiles in memory: a reference to a set that outlives the source.
class SetSource : public TileSource {
public:
    explicit SetSource(const TileSet& set) : set(set)
    {
        name = set.name;
        attribution = set.attribution;
        for (const auto& t : set.tiles) {
            const TileKey& k = t.first;
            if (present.empty() || present.back().z != k.z) {
                present.push_back(ArchiveLevel{k.z, k.x, k.y, k.x, k.y, 0});
                if (format.empty())
                    format = TileDecoder::formatName(TileDecoder::sniff(
                        reinterpret_cast<const std::uint8_t*>(t.second.data()), t.second.size()));
            }
            ArchiveLevel& l = present.back();
            l.minX = std::min<long long>(l.minX, k.x);
            l.maxX = std::max<long long>(l.maxX, k.x);
            l.minY = std::min<long long>(l.minY, k.y);
            l.maxY = std::max<long long>(l.maxY, k.y);
            ++l.tiles;
        }
    }

    bool forEachTile(int z, long long minX, long long minY, long long maxX, long long maxY,
                     const TileArchive::CellVisitor& visit, std::string*) override
    {
        for (auto it = set.tiles.lower_bound(TileKey{z, 0, 0}); it != set.tiles.end() && it->first.z == z; ++it) {
            const TileKey& k = it->first;
            if (k.x >= minX && k.x <= maxX && k.y >= minY && k.y <= maxY && !visit(k.x, k.y, it->second))
                break;
        }
        return true;
    }

private:
    const TileSet& set;
};

// A folder of Z/X/Y files: only names are looked at until a level is read.
class FolderSource : public TileSource {
public:
    explicit FolderSource(const std::string& path) : path(path)
    {
        std::map<int, ArchiveLevel> levels;
        TileSources::walkFolder(path, -1, [&](int z, int x, int y, const std::string&) {
            ArchiveLevel& l = levels[z];
            if (l.tiles == 0)
                l = ArchiveLevel{z, x, y, x, y, 0};
            l.minX = std::min<long long>(l.minX, x);
            l.maxX = std::max<long long>(l.maxX, x);
            l.minY = std::min<long long>(l.minY, y);
            l.maxY = std::max<long long>(l.maxY, y);
            ++l.tiles;
            return true;
        });
        for (const auto& l : levels)
            present.push_back(l.second);
    }

    bool forEachTile(int z, long long minX, long long minY, long long maxX, long long maxY,
                     const TileArchive::CellVisitor& visit, std::string*) override
    {
        std::string bytes;
        TileSources::walkFolder(path, z, [&](int, int x, int y, const std::string& file) {
            if (x < minX || x > maxX || y < minY || y > maxY)
                return true;
            bytes.clear();
            Files::readBytes(file, &bytes);
            if (format.empty())
                format = TileDecoder::formatName(
                    TileDecoder::sniff(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
            return visit(x, y, bytes);
        });
        return true;
    }

private:
    std::string path;
};

// The format of a folder's first tile, which names the layer.
std::string firstFormat(const std::string& path)
{
    std::string format;
    TileSources::walkFolder(path, -1, [&](int, int, int, const std::string& file) {
        std::string bytes;
        Files::readBytes(file, &bytes);
        format = TileDecoder::formatName(TileDecoder::sniff(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
        return false;
    });
    return format;
}

} // namespace

std::unique_ptr<TileSource> TileSource::of(const TileSet& set)
{
    return std::make_unique<SetSource>(set);
}

std::unique_ptr<TileSource> TileSource::open(const std::string& path, std::string* error)
{
    std::unique_ptr<TileSource> source;
    if (SafeFile::isDirectory(path)) {
        source = std::make_unique<FolderSource>(path);
        if (source->levels().empty()) {
            *error = path + ": no Z/X/Y tiles found";
            return nullptr;
        }
        source->format = firstFormat(path);
    } else {
        if (!SafeFile::present(path)) {
            *error = path + ": no such file";
            return nullptr;
        }
        std::string why;
        std::unique_ptr<TileArchive> archive = TileArchive::open(path, &why);
        if (!archive) {
            *error = why == "no tiles" ? "no raster tiles in " + path : path + ": " + why;
            return nullptr;
        }
        if (archive->info().format == "pbf") {
            *error = path + ": vector tiles are drawn into a package with tessel-pack render";
            return nullptr;
        }
        source = std::make_unique<ArchiveSource>(std::move(archive));
    }
    source->label = path;
    return source;
}
