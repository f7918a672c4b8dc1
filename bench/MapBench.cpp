// Tile loading and panning on real files: loose against packed, the whole
// grid, a pan frame that crosses a tile edge and a steady pan frame.
#include "Attribution.h"
#include "ConfParser.h"
#include "GoogleAPI.h"
#include "Map.h"
#include "Packages.h"
#include "PackedMap.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

const int areaSize = 12;

// A working directory with a loose and a packed copy of one 12 x 12 package.
struct Fixture {
    Fixture()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_Init(SDL_INIT_VIDEO);
        screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
        TTF_Init();
        font = TTF_OpenFont(TESSEL_TEST_FONT, 9);
        char pattern[] = "/tmp/tessel-bench-XXXXXX";
        dir = mkdtemp(pattern);
        if (chdir(dir.c_str()) != 0)
            std::abort();
        writeMissingTileImage("media/na.png");
        for (bool packed : {false, true}) {
            const std::string name = packed ? "packed" : "loose";
            TestLayer layer;
            layer.dir = "maps/" + name + "/";
            layer.layer = "sat";
            layer.zoom = 10;
            layer.w = layer.h = areaSize;
            layer.packed = packed;
            layer.partLimit = 1 << 20;
            writeLayer(layer);
            std::ofstream conf("maps/" + name + "/map.conf");
            conf << "api=google\npacked=" << (packed ? "yes" : "no") << "\ntype=sat\nzoom=10\nzoom_actual=10\n"
                 << "begin_x=0\nbegin_y=0\nend_x=" << areaSize << "\nend_y=" << areaSize
                 << "\npos_x=5\npos_y=5\nmove_x=128\nmove_y=128\n";
        }
    }
    ~Fixture()
    {
        if (chdir("/") == 0)
            std::system(("rm -rf " + dir).c_str());
    }

    SDL_Surface* screen = nullptr;
    TTF_Font* font = nullptr;
    std::string dir;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

std::string mapConf(bool packed)
{
    return packed ? "maps/packed/map.conf" : "maps/loose/map.conf";
}

void tilesPerSecond(benchmark::State& state, double tilesPerIteration)
{
    state.counters["tiles/s"] =
        benchmark::Counter(tilesPerIteration * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Decode and conversion to the display format included.
void BM_LoadTile(benchmark::State& state)
{
    fixture();
    ConfParser conf(mapConf(state.range(0) != 0), 1);
    GoogleAPI api(&conf);
    api.setBg("sat");
    int i = 0;
    for (auto _ : state) {
        SDL_Surface* decoded = nullptr;
        const int x = i % areaSize, y = (i / areaSize) % areaSize;
        ++i;
        if (api.loadTileImage(api.bg, x, y, &decoded)) {
            SDL_Surface* shown = SDL_DisplayFormat(decoded);
            SDL_FreeSurface(shown);
            SDL_FreeSurface(decoded);
        }
    }
    tilesPerSecond(state, 1);
}
BENCHMARK(BM_LoadTile)->ArgName("packed")->Arg(0)->Arg(1);

// The file access alone: the encoded bytes of one tile.
void BM_ReadTileBytesLoose(benchmark::State& state)
{
    fixture();
    int i = 0;
    for (auto _ : state) {
        char name[96];
        std::snprintf(name, sizeof name, "maps/loose/sat/v=sat&x=%i&y=%i&zoom=10", i % areaSize, (i / areaSize) % areaSize);
        ++i;
        std::ifstream in(name, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        benchmark::DoNotOptimize(bytes.str().size());
    }
    tilesPerSecond(state, 1);
}
BENCHMARK(BM_ReadTileBytesLoose);

void BM_ReadTileBytesPacked(benchmark::State& state)
{
    fixture();
    std::ifstream in("maps/packed/sat/10.map", std::ios::binary);
    PackedMap::Header header;
    PackedMap::readHeader(in, &header);
    int i = 0;
    std::string bytes;
    for (auto _ : state) {
        PackedMap::readTile(in, header, header.firstIndex + i % (header.endIndex - header.firstIndex), &bytes);
        ++i;
        benchmark::DoNotOptimize(bytes.size());
    }
    tilesPerSecond(state, 1);
}
BENCHMARK(BM_ReadTileBytesPacked);

// Placing the whole grid: what opening a package, zooming or a layer change costs.
void BM_SetCentre(benchmark::State& state)
{
    Map map(fixture().screen, mapConf(state.range(0) != 0));
    for (auto _ : state)
        map.setCentre(ViewCentre{5, 5, 128, 128});
    tilesPerSecond(state, map.grid.cols * map.grid.rows);
}
BENCHMARK(BM_SetCentre)->ArgName("packed")->Arg(0)->Arg(1);

// A pan frame that crosses a tile edge: one column comes in and is loaded.
void BM_PanFrameAcrossTileEdge(benchmark::State& state)
{
    Map map(fixture().screen, mapConf(state.range(0) != 0));
    Attribution attribution;
    attribution.format(SDL_Rect{3, 0, 160, 15}, 9, fixture().font, SDL_Color{0, 0, 0, 0});
    map.setCentre(ViewCentre{1, 5, 128, 128});
    int direction = 256;
    for (auto _ : state) {
        if (!map.move(direction, 0))
            direction = -direction;
        map.draw();
        attribution.draw(fixture().screen, map.api->copyright, true);
    }
    tilesPerSecond(state, map.grid.rows);
}
BENCHMARK(BM_PanFrameAcrossTileEdge)->ArgName("packed")->Arg(0)->Arg(1);

// A steady pan frame inside the grid: move 4 pixels and redraw the screen.
void BM_SteadyPanFrame(benchmark::State& state)
{
    Map map(fixture().screen, mapConf(false));
    Attribution attribution;
    attribution.format(SDL_Rect{3, 0, 160, 15}, 9, fixture().font, SDL_Color{0, 0, 0, 0});
    map.setCentre(ViewCentre{5, 5, 260, 128});
    int direction = 4;
    for (auto _ : state) {
        if (map.grid.offsetX + direction < 0 || map.grid.offsetX + direction > 400)
            direction = -direction;
        map.move(direction, 0);
        map.draw();
        attribution.draw(fixture().screen, map.api->copyright, true);
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SteadyPanFrame);

} // namespace
