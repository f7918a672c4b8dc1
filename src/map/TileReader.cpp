#include "TileReader.h"

#include <sys/stat.h>

bool readSmallFile(const std::string& path, std::size_t limit, std::string* bytes)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || static_cast<std::size_t>(info.st_size) > limit)
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->resize(static_cast<std::size_t>(info.st_size));
    in.read(&(*bytes)[0], static_cast<std::streamsize>(bytes->size()));
    return static_cast<std::size_t>(in.gcount()) == bytes->size();
}

bool TileReader::read(const TileRef& ref, std::string* bytes)
{
    switch (ref.kind) {
    case TileRef::Kind::file:
        return readSmallFile(ref.path, PackedMap::maxTileBytes, bytes);
    case TileRef::Kind::packed:
        return readPacked(ref, bytes);
    case TileRef::Kind::archive:
        return readArchive(ref, bytes);
    default:
        return false;
    }
}

void TileReader::clear()
{
    levels.clear();
    archives.clear();
    openFile.close();
    openName.clear();
}

std::ifstream* TileReader::openPart(const std::string& name)
{
    if (openName != name || !openFile.is_open()) {
        openFile.close();
        openFile.clear();
        openFile.open(name, std::ios::binary);
        openName = openFile.is_open() ? name : std::string();
    }
    return openFile.is_open() ? &openFile : nullptr;
}

const TileReader::Level& TileReader::level(const TileRef& ref)
{
    const std::string first = PackedMap::partFileName(ref.path, ref.layer, ref.zoom, 0);
    const auto found = levels.find(first);
    if (found != levels.end())
        return found->second;
    Level& l = levels[first];
    int missingRun = 0;
    for (int p = 0; p < maxParts && missingRun < partGap; ++p) {
        std::ifstream* in = openPart(PackedMap::partFileName(ref.path, ref.layer, ref.zoom, p));
        Part part;
        part.number = p;
        if (!in || !PackedMap::readHeader(*in, &part.header)) {
            ++missingRun;
            continue;
        }
        missingRun = 0;
        l.parts.push_back(part);
        if (part.header.endIndex >= part.header.tileCount)
            break;
    }
    return l;
}

bool TileReader::readPacked(const TileRef& ref, std::string* bytes)
{
    if (ref.index < 0)
        return false;
    for (const Part& part : level(ref).parts) {
        const PackedMap::Header& h = part.header;
        if (ref.index < h.firstIndex || ref.index >= h.endIndex)
            continue;
        std::ifstream* in = openPart(PackedMap::partFileName(ref.path, ref.layer, ref.zoom, part.number));
        return in && PackedMap::readTile(*in, h, static_cast<int>(ref.index), bytes);
    }
    return false;
}

bool TileReader::readArchive(const TileRef& ref, std::string* bytes)
{
    auto found = archives.find(ref.path);
    if (found == archives.end()) {
        if (archives.size() >= maxArchivesOpen)
            archives.clear();
        std::string error;
        // The map source read the archive whole when the package opened.
        found = archives.emplace(ref.path, TileArchive::open(ref.path, &error, TileArchive::Reading::tilesOnly)).first;
    }
    return found->second && found->second->tile(ref.zoom, ref.x, ref.y, bytes);
}
