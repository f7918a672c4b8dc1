// Fuzz target for the MBTiles and PMTiles readers: the input is written to
// a file (SQLite reads files), opened as an archive, and a bounded number
// of its tiles read by lookup and by walking it.
#include "TileArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string scratchFile()
{
    char name[] = "/tmp/tessel-archive-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0)
        std::abort();
    close(fd);
    static std::string path = name;
    std::atexit([] { std::remove(path.c_str()); });
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = scratchFile();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    std::string error;
    const std::unique_ptr<TileArchive> archive = TileArchive::open(path, &error);
    if (!archive) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    std::string bytes;
    for (const ArchiveLevel& l : archive->info().levels) {
        if (l.minX > l.maxX || l.minY > l.maxY || l.z < 0 || l.z > TileArchive::maxZoom)
            __builtin_trap();
        archive->tile(l.z, l.minX, l.minY, &bytes);
        archive->tile(l.z, l.maxX, l.maxY, &bytes);
        archive->tile(l.z, (l.minX + l.maxX) / 2, (l.minY + l.maxY) / 2, &bytes);
    }
    int visits = 0;
    archive->forEachTile([&](int, long long, long long, long long, const std::string&) { return ++visits < 256; },
                         &error);
    return 0;
}
