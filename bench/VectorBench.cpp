// Vector tiles: one tile decoded and drawn (the densest of the real
// archives), drawn and PNG-encoded as tessel-pack render does, and the
// frames the main thread sees while the loader draws them.
#include "Codecs.h"
#include "Map.h"
#include "MvtReader.h"
#include "MvtTiles.h"
#include "StyleChooser.h"
#include "TileArchive.h"
#include "VectorRenderer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string styles = TESSEL_SOURCE_DIR "/media/styles";

struct DenseTile {
    std::string bytes;
    int z = 0;
    VectorStyle style;
};

// The largest tile of an archive, with the style the viewer picks for it.
DenseTile densest(const std::string& path)
{
    DenseTile d;
    std::string error;
    std::unique_ptr<TileArchive> archive = TileArchive::open(path, &error);
    if (!archive)
        return d;
    archive->forEachTile([&](int z, long long, long long, long long, const std::string& bytes) {
        if (bytes.size() > d.bytes.size()) {
            d.bytes = bytes;
            d.z = z;
        }
        return true;
    }, &error);
    const ArchiveInfo& info = archive->info();
    VectorStyle::load(StyleChooser::choose(path, StyleChooser::layersOf(info.metadataJson, info.sampleTile), styles),
                      &d.style, &error);
    return d;
}

double peakResidentMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

std::string monaco()
{
    std::string why;
    static const std::string path =
        Mvt::monacoMBTiles(TESSEL_SOURCE_DIR "/../shared/fixtures/monaco.osm.pbf", TESSEL_BUILD_DIR, &why);
    return path;
}

// One tile decoded, drawn and (png) PNG-encoded as tessel-pack render
// does: what bench/vector_cost.sh counts, call by call.
__attribute__((noinline)) std::size_t measuredTile(const DenseTile& d, const TileView& view, bool png)
{
    VectorTile tile;
    std::string error;
    MvtReader::read(d.bytes, &tile, &error);
    Bitmap picture;
    VectorRenderer::draw(tile, d.style, view, &picture);
    benchmark::DoNotOptimize(picture.rgb.data());
    return png ? Codecs::encodeDrawn(picture).size() : 0;
}

void drawTile(benchmark::State& state, const std::string& path, bool png, int overZoom = 0)
{
    if (path.empty() || access(path.c_str(), R_OK) != 0) {
        state.SkipWithError("the real archive is missing");
        return;
    }
    const DenseTile d = densest(path);
    TileView view;
    view.zoom = d.z + overZoom;
    view.overZoom = overZoom;
    view.subX = view.subY = (1 << overZoom) / 2; // the middle square
    std::size_t encoded = 0;
    std::vector<double> ms; // each call's wall-clock time: the median and the worst
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        encoded += measuredTile(d, view, png);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms.empty() ? 0 : ms[ms.size() / 2];
    state.counters["worst_ms"] = ms.empty() ? 0 : ms.back();
    state.counters["tile_bytes"] = static_cast<double>(d.bytes.size());
    state.counters["png_bytes"] = png ? static_cast<double>(encoded) / state.iterations() : 0;
}

void BM_VectorTileMonacoZ14(benchmark::State& state)
{
    drawTile(state, monaco(), state.range(0) != 0);
}
BENCHMARK(BM_VectorTileMonacoZ14)->ArgName("png")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Four levels past the data: the middle sixteenth of the densest tile.
void BM_VectorTileMonacoZ18(benchmark::State& state)
{
    drawTile(state, monaco(), false, 4);
}
BENCHMARK(BM_VectorTileMonacoZ18)->Unit(benchmark::kMillisecond);

void BM_VectorTileUruguay(benchmark::State& state)
{
    drawTile(state, TESSEL_SOURCE_DIR "/../shared/fixtures/vector/uruguay.mbtiles", state.range(0) != 0);
}
BENCHMARK(BM_VectorTileUruguay)->ArgName("png")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Monaco at level 16 (two past its data) in a run directory, the loader
// in manual mode: its work runs between frames, untimed, as the thread's.
struct MonacoView {
    MonacoView()
    {
        char pattern[] = "/tmp/tessel-vectorbench-XXXXXX";
        dir = mkdtemp(pattern);
        const std::string lay = "bash " TESSEL_SOURCE_DIR "/scripts/lay-run-dir.sh " + dir + " " TESSEL_TEST_FONT;
        if (monaco().empty() || std::system(lay.c_str()) != 0 || chdir(dir.c_str()) != 0 ||
            symlink(monaco().c_str(), "maps/monaco.mbtiles") != 0)
            std::abort();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_Init(SDL_INIT_VIDEO);
        screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
        map.pipeline.setMode(TilePipeline::Mode::manual);
        if (!map.create(screen, "maps/monaco.mbtiles"))
            std::abort();
        while (map.zoomIn() && map.api->zoomValue() < 16) {
        }
        settle();
    }
    void settle()
    {
        while (map.pipeline.loader->step()) {
        }
        map.update();
    }
    std::string dir;
    SDL_Surface* screen = nullptr;
    Map map;
};

// A steady pan over drawn vector tiles, and frames crossing a column edge
// with the cache emptied (cold = 1): the incoming cells show stand-ins
// while the loader would draw them, the worst the main thread sees.
void BM_VectorPanFrame(benchmark::State& state)
{
    MonacoView view;
    const bool crossing = state.range(0) != 0;
    int direction = crossing ? 256 : 4;
    for (auto _ : state) {
        if (crossing) {
            state.PauseTiming();
            view.settle();
            view.map.pipeline.cache.clear();
            state.ResumeTiming();
        } else if (view.map.grid.offsetX + direction < 0 || view.map.grid.offsetX + direction > 400) {
            direction = -direction;
        }
        if (!view.map.move(direction, 0))
            direction = -direction;
        view.map.update();
        view.map.draw();
    }
}
BENCHMARK(BM_VectorPanFrame)->ArgName("cold_crossing")->Arg(0)->Arg(1);

// Memory over a long pan at level 18 (four past the data), the cache at
// the shipped bound (tile_cache_kb=8192): back and forth across Monaco,
// every cell drawn before the next step. Reports the cache's bytes and the
// process's peak resident size before and after, in MB; one iteration.
void BM_VectorLongPan(benchmark::State& state)
{
    MonacoView view;
    view.map.pipeline.cache.setLimit(8192 * 1024);
    while (view.map.zoomIn()) {
    }
    const double before = peakResidentMb();
    std::size_t cells = 0;
    for (auto _ : state) {
        for (int row = 0; row < 12; ++row) {
            const int dx = row % 2 ? -96 : 96;
            for (int step = 0; step < 40; ++step) {
                view.map.move(dx, 0);
                view.settle();
                view.settle();
                cells += view.map.tiles.size();
            }
            view.map.move(0, 96);
            view.settle();
        }
    }
    state.counters["cells_drawn"] = static_cast<double>(cells);
    state.counters["cache_mb"] = static_cast<double>(view.map.pipeline.cache.bytes()) / (1 << 20);
    state.counters["peak_rss_mb_before"] = before;
    state.counters["peak_rss_mb_after"] = peakResidentMb();
}
BENCHMARK(BM_VectorLongPan)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
