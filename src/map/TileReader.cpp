#include "TileReader.h"

#include "SafeFile.h"

bool TileReader::read(const TileRef& ref, std::string* bytes)
{
    switch (ref.kind) {
    case TileRef::Kind::file:
        return SafeFile::readRegular(ref.path, PackedMap::maxTileBytes, bytes);
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
    openPart(std::string());
}

// Part files are opened only when they are regular files, checked on the
// open descriptor (a FIFO in their place would block the loader thread).
std::istream* TileReader::openPart(const std::string& name)
{
    if (openName == name && openFile)
        return openFile.get();
    openFile.reset();
    openBuffer.reset();
    openName.clear();
    const int fd = name.empty() ? -1 : SafeFile::openRegular(name);
    if (fd < 0)
        return nullptr;
    openBuffer = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd, std::ios::in | std::ios::binary);
    openFile = std::make_unique<std::istream>(openBuffer.get());
    openName = name;
    return openFile.get();
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
        std::istream* in = openPart(PackedMap::partFileName(ref.path, ref.layer, ref.zoom, p));
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
        std::istream* in = openPart(PackedMap::partFileName(ref.path, ref.layer, ref.zoom, part.number));
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
