// Tile access through open archives against a packed part and loose files,
// side by side on the same real tiles (the PNGs of the shared plain_1.mbtiles
// repeated over a 64 x 64 block of level 6), through the reader the viewer's
// loader uses; and opening archives of 100 000 tiles.
#include "Archives.h"
#include "PackedMap.h"
#include "TileArchive.h"
#include "TileReader.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const int side = 64;      // tiles of the access block
const int bigSide = 317;  // 317 x 317 = 100 489 tiles for opening

struct ArchiveFiles {
    ArchiveFiles()
    {
        char pattern[] = "/tmp/tessel-archivebench-XXXXXX";
        dir = mkdtemp(pattern);
        const std::vector<std::string> real = archiveTiles(TESSEL_SOURCE_DIR "/../shared/fixtures/plain_1.mbtiles");
        if (real.empty())
            return;
        std::string error;
        std::vector<std::tuple<int, int, int, std::string>> mb;
        PMTilesLayout pm;
        pm.gzipDirectories = true;
        pm.leafSize = 4096;
        std::vector<std::string> level;
        mkdir((dir + "/loose").c_str(), 0755);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const std::string& bytes = real[static_cast<std::size_t>(x + side * y) % real.size()];
                mb.emplace_back(6, x, side - 1 - y, bytes);
                pm.tiles[std::make_tuple(6, x, y)] = bytes;
                level.push_back(bytes);
                std::ofstream(loose(x, y), std::ios::binary) << bytes;
            }
        writeMBTiles(dir + "/block.mbtiles", mb, {{"format", "png"}});
        writePMTiles(dir + "/block.pmtiles", pm);
        PackedMap::writeLevel(dir + "/", "packed", 6, level, 64u << 20, &error);

        // 100 489 tiles of level 9, each the smallest real tile.
        std::string smallest = real.front();
        for (const std::string& t : real)
            if (t.size() < smallest.size())
                smallest = t;
        mb.clear();
        PMTilesLayout big;
        big.gzipDirectories = true;
        big.leafSize = 4096;
        for (int y = 0; y < bigSide; ++y)
            for (int x = 0; x < bigSide; ++x) {
                mb.emplace_back(9, x, 511 - y, smallest);
                big.tiles[std::make_tuple(9, x, y)] = smallest;
            }
        writeMBTiles(dir + "/big.mbtiles", mb, {{"format", "png"}});
        writePMTiles(dir + "/big.pmtiles", big);
        ready = true;
    }
    ~ArchiveFiles() { std::system(("rm -rf " + dir).c_str()); }

    std::string loose(int x, int y) const
    {
        return dir + "/loose/" + std::to_string(x) + "_" + std::to_string(y) + ".png";
    }

    std::string dir;
    bool ready = false;
};

ArchiveFiles& files()
{
    static ArchiveFiles f;
    return f;
}

// The reference of the tile at (x, y) of the block in each storage.
TileRef refAt(int kind, int x, int y)
{
    TileRef r;
    switch (kind) {
    case 0:
        r.kind = TileRef::Kind::file;
        r.path = files().loose(x, y);
        break;
    case 1:
        r.kind = TileRef::Kind::packed;
        r.path = files().dir + "/";
        r.layer = "packed";
        r.zoom = 6;
        r.index = x + side * y;
        break;
    default:
        r.kind = TileRef::Kind::archive;
        r.path = files().dir + (kind == 2 ? "/block.mbtiles" : "/block.pmtiles");
        r.zoom = 6;
        r.x = x;
        r.y = y;
    }
    return r;
}

// range(0): 0 loose file, 1 packed part, 2 MBTiles, 3 PMTiles. The tiles
// are visited in a scattered order so no storage gets a sequential run.
void BM_TileBytes(benchmark::State& state)
{
    if (!files().ready)
        return state.SkipWithError("no plain_1.mbtiles beside the project");
    const int kind = static_cast<int>(state.range(0));
    std::vector<TileRef> refs;
    for (int i = 0; i < side * side; ++i) {
        const int scattered = (i * 1021) % (side * side);
        refs.push_back(refAt(kind, scattered % side, scattered / side));
    }
    TileReader reader;
    std::string bytes;
    reader.read(refs[0], &bytes); // opens the archive or reads the part headers
    std::size_t i = 0;
    for (auto _ : state) {
        if (!reader.read(refs[i++ % refs.size()], &bytes))
            return state.SkipWithError("tile not found");
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_TileBytes)->ArgName("storage")->DenseRange(0, 3);

// Opening and checking an archive of 100 489 tiles: range(0) 0 MBTiles, 1 PMTiles.
void BM_OpenBigArchive(benchmark::State& state)
{
    if (!files().ready)
        return state.SkipWithError("no plain_1.mbtiles beside the project");
    const std::string path = files().dir + (state.range(0) == 0 ? "/big.mbtiles" : "/big.pmtiles");
    for (auto _ : state) {
        std::string error;
        const std::unique_ptr<TileArchive> a = TileArchive::open(path, &error);
        if (!a)
            return state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(a.get());
    }
    state.SetLabel("100489 tiles");
}
BENCHMARK(BM_OpenBigArchive)->ArgName("pmtiles")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
