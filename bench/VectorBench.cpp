// Vector tiles: one tile decoded and drawn (the densest of the real
// archives), drawn and PNG-encoded as tessel-pack render does, and the
// frames the main thread sees while the loader draws them.
#include "CellComposer.h"
#include "Codecs.h"
#include "Fonts.h"
#include "Map.h"
#include "PanSquare.h"
#include "Program.h"
#include "MvtReader.h"
#include "MvtTiles.h"
#include "StyleChooser.h"
#include "TestSupport.h"
#include "TileArchive.h"
#include "TileReader.h"
#include "VectorPainter.h"
#include "VectorRenderer.h"

#include <algorithm>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
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

// One overzoomed cell of the densest montevideo.pmtiles tile at level 16
// (four levels past its data), the cells of that tile in turn, as the
// loader makes them: (cache:0) its bytes read and inflated, then drawn
// from the painter's decoded tile, as cells were made before; (cache:1)
// the composer asking the painter first. Callgrind counts measuredCell().
__attribute__((noinline)) void measuredCell(CellComposer* composer, TileReader* reader, VectorPainter* painter,
                                            const TileRequest& request, bool cacheFirst)
{
    if (cacheFirst) {
        benchmark::DoNotOptimize(composer->work(request).bitmap.get());
        return;
    }
    const TileRef& ref = request.bg;
    std::string bytes, error;
    reader->read(ref, &bytes);
    TileView view;
    view.zoom = ref.zoom + ref.overZoom;
    view.overZoom = ref.overZoom;
    view.subX = ref.subX;
    view.subY = ref.subY;
    Bitmap picture;
    painter->paint(ref.name(), bytes, ref.style, false, view, &picture, &error);
    Pixels::flattenOver(&picture, CellComposer::backdrop);
    benchmark::DoNotOptimize(picture.rgb.data());
}

void BM_VectorOverzoomCell(benchmark::State& state)
{
    const std::string path = TESSEL_SOURCE_DIR "/../shared/fixtures/vector/montevideo.pmtiles";
    if (access(path.c_str(), R_OK) != 0) {
        state.SkipWithError("the real archive is missing");
        return;
    }
    // The densest tile's place.
    std::string error, largest;
    long long tx = 0, ty = 0;
    int tz = 0;
    std::unique_ptr<TileArchive> archive = TileArchive::open(path, &error);
    archive->forEachTile([&](int z, long long x, long long y, long long, const std::string& bytes) {
        if (bytes.size() > largest.size()) {
            largest = bytes;
            tz = z, tx = x, ty = y;
        }
        return true;
    }, &error);
    const ArchiveInfo& info = archive->info();
    TileRequest request;
    request.bg.kind = TileRef::Kind::archive;
    request.bg.path = path;
    request.bg.zoom = tz;
    request.bg.x = tx;
    request.bg.y = ty;
    request.bg.style = StyleChooser::choose(path, StyleChooser::layersOf(info.metadataJson, info.sampleTile), styles);
    request.bg.overZoom = 16 - tz;
    CellComposer composer(256, nullptr, nullptr);
    TileReader reader;
    VectorPainter painter;
    const long long side = 1ll << request.bg.overZoom;
    long long cell = 0;
    for (auto _ : state) {
        request.bg.subX = cell % side;
        request.bg.subY = (cell / side) % side;
        ++cell;
        measuredCell(&composer, &reader, &painter, request, state.range(0) != 0);
    }
}
BENCHMARK(BM_VectorOverzoomCell)->ArgName("cache")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A run directory with the Monaco archive in maps/, made the working
// directory, and the dummy screen; removed at the end. (TempDir belongs to
// the test binaries, which link GoogleTest.)
struct MonacoRunDir {
    MonacoRunDir()
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
    }
    ~MonacoRunDir() { std::filesystem::remove_all(dir); }
    MonacoRunDir(const MonacoRunDir&) = delete;
    MonacoRunDir& operator=(const MonacoRunDir&) = delete;
    std::string dir;
    SDL_Surface* screen = nullptr;
};

// Monaco at level 16 (two past its data), the loader in manual mode: its
// work runs between frames, untimed, as the thread's.
struct MonacoView : MonacoRunDir {
    MonacoView()
    {
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
    Map map;
};

// The whole program on Monaco at level 16 (two past its data), zoomed in
// there with the key, panning fast (an arrow and Shift held) round a square
// of 80 frames of 16 ms a side: columns and rows of cells come in,
// showing stand-ins scaled from the levels above while the loader (manual
// mode) draws one tile between frames, slower than its thread would.
// bench/frame_cost.sh counts each frame: the worst against the median is
// what vector tiles drawn in the background cost the main thread.

void BM_PanFramesVector(benchmark::State& state)
{
    MonacoRunDir run;
    TTF_Init();
    Fonts fonts;
    fonts.open("media/font.ttf");
    FakeClock clock;
    ScriptedEvents keys;
    Program program(run.screen, fonts, &keys, &clock);
    program.map.pipeline.setMode(TilePipeline::Mode::manual);
    program.toolBar.visible = false;
    if (!program.mapUI.loadPackage(0))
        std::abort();
    settle(&program);
    zoomTo(&program, &keys, 16);
    panSquare(state, &program, &keys, &clock);
}

BENCHMARK(BM_PanFramesVector)->Iterations(320);

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
