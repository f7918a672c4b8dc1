// Cutting an area out of a large archive: the reads an extract makes (each
// one a request when the archive is on a server) and their bytes, and the
// time of a local extract. The archive is the world at levels 0 to 8
// (87 381 tiles), each cell a real tile of the shared plain_1.mbtiles with
// its id appended so that none repeats (about 170 MB); the box holds about
// 1 % of its tiles.
#include "Archives.h"
#include "Extract.h"
#include "FileBytes.h"
#include "PMTilesWriter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

const int deepest = 8;
const char* const box = "0,0,35,34";

// A file whose reads are counted, as a server's requests would be.
class CountedBytes : public ByteSource {
public:
    explicit CountedBytes(ByteSource& inner) : inner(inner) {}
    bool read(std::uint64_t offset, std::uint64_t length, std::string* out, std::string* error) override
    {
        ++reads;
        const bool ok = inner.read(offset, length, out, error);
        bytes += out->size();
        return ok;
    }
    std::uint64_t size() const override { return inner.size(); }
    ByteSource& inner;
    std::uint64_t reads = 0, bytes = 0;
};

struct WorldArchive {
    WorldArchive()
    {
        const std::vector<std::string> real = archiveTiles(TESSEL_SOURCE_DIR "/../shared/fixtures/plain_1.mbtiles");
        if (real.empty())
            return;
        char name[] = "/tmp/tessel-areabench-XXXXXX";
        close(mkstemp(name));
        path = name;
        PMTilesWriter writer;
        std::string error;
        writer.open(path, &error);
        std::size_t n = 0;
        for (int z = 0; z <= deepest; ++z)
            for (std::uint64_t x = 0; x < (1u << z); ++x)
                for (std::uint64_t y = 0; y < (1u << z); ++y) {
                    const std::uint64_t id = PMTiles::tileId(z, x, y);
                    writer.add(id, 1, real[n++ % real.size()] + std::string(reinterpret_cast<const char*>(&id), 8),
                               &error);
                }
        PMTiles::Header h;
        h.tileType = PMTiles::Header::png;
        h.maxZoom = deepest;
        h.west = -180;
        h.east = 180;
        h.south = -85;
        h.north = 85;
        if (!writer.finish(h, "{\"name\":\"world\"}", &error))
            path.clear();
    }
    ~WorldArchive()
    {
        if (!path.empty())
            std::remove(path.c_str());
    }
    std::string path;
};

WorldArchive& world()
{
    static WorldArchive archive;
    return archive;
}

Extract::Options options()
{
    Extract::Options o;
    std::string error;
    AreaBox::parse(box, &o.box, &error);
    return o;
}

// The reads and bytes of the extract's plan, as requests to a server.
void BM_ExtractReads(benchmark::State& state)
{
    if (world().path.empty()) {
        state.SkipWithError("no fixtures beside the project");
        return;
    }
    const Extract::Options o = options();
    std::string error;
    std::unique_ptr<FileBytes> file = FileBytes::open(world().path, &error);
    std::uint64_t tiles = 0, reads = 0, bytes = 0;
    for (auto _ : state) {
        CountedBytes counted(*file);
        PMTilesPicker picker(counted);
        std::vector<PMTilesPicker::IdRange> ranges;
        for (int z = 0; z <= deepest; ++z)
            o.box.idRanges(z, &ranges);
        std::vector<PMTiles::Entry> picked;
        if (!picker.open(&error) || !picker.pick(ranges, &picked, &error) ||
            !picker.fetch(picked, o.gap, o.maxRead, [](const PMTiles::Entry&, const std::string&) { return true; },
                          &error))
            state.SkipWithError(error.c_str());
        tiles = picked.size();
        reads = counted.reads;
        bytes = counted.bytes;
    }
    state.counters["tiles"] = static_cast<double>(tiles);
    state.counters["tiles_pct"] = 100.0 * static_cast<double>(tiles) / 87381;
    state.counters["requests"] = static_cast<double>(reads);
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["bytes_pct"] = 100.0 * static_cast<double>(bytes) / static_cast<double>(file->size());
}
BENCHMARK(BM_ExtractReads)->Unit(benchmark::kMillisecond)->Iterations(3);

// A whole local extract into PMTiles or MBTiles, written and synced.
void BM_LocalExtract(benchmark::State& state)
{
    if (world().path.empty()) {
        state.SkipWithError("no fixtures beside the project");
        return;
    }
    const char* output = state.range(0) ? "/tmp/tessel-areabench-out.mbtiles" : "/tmp/tessel-areabench-out.pmtiles";
    Extract::Options o = options();
    std::uint64_t tiles = 0;
    for (auto _ : state) {
        std::remove(output);
        std::string error;
        if (!Extract::run(world().path, output, o, &tiles, &error))
            state.SkipWithError(error.c_str());
    }
    std::remove(output);
    state.counters["tiles"] = static_cast<double>(tiles);
    state.counters["per_1000_tiles"] = benchmark::Counter(static_cast<double>(tiles) / 1000,
                                                          benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
}
BENCHMARK(BM_LocalExtract)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
