// Fuzz target for the MBTiles and PMTiles readers: the input is written to
// a file (SQLite reads files), opened as an archive, and a bounded number
// of its tiles read by lookup and by walking it.
#include "ScratchFile.h"
#include "TileArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = scratchFile("archive");
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    std::string error;
    const std::unique_ptr<TileArchive> archive = TileArchive::open(path, &error);
    if (!archive) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    // Hundreds of lookups spread over each level's extent, so that a cache
    // of leaf directories turns over as it does while browsing.
    std::string bytes;
    int lookups = 0;
    for (const ArchiveLevel& l : archive->info().levels) {
        if (l.minX > l.maxX || l.minY > l.maxY || l.z < 0 || l.z > TileArchive::maxZoom)
            __builtin_trap();
        const long long w = l.maxX - l.minX, h = l.maxY - l.minY;
        for (long long i = 0; i <= 16 && lookups < 600; ++i)
            for (long long j = 0; j <= 16 && lookups < 600; ++j, ++lookups)
                archive->tile(l.z, l.minX + w / 16 * i + (i == 16 ? w % 16 : 0),
                              l.minY + h / 16 * j + (j == 16 ? h % 16 : 0), &bytes);
    }
    // A small box of the deepest level, cell by cell (a run over a whole
    // level must cost what the box holds).
    if (!archive->info().levels.empty()) {
        const ArchiveLevel& l = archive->info().levels.back();
        int cells = 0;
        archive->forEachTileAt(l.z, l.minX, l.minY, l.minX + 7, l.minY + 7,
                               [&](long long, long long, const std::string&) { return ++cells < 256; }, &error);
    }
    int visits = 0;
    archive->forEachTile([&](int, long long, long long, long long, const std::string&) { return ++visits < 256; },
                         &error);
    return 0;
}
