// Tile loads on real tiles, ours against SDL_image + SDL_DisplayFormat side
// by side, and the main thread's frames with the loader in the background.
#include "Archives.h"
#include "Map.h"
#include "PackedMap.h"
#include "TileDecoder.h"
#include "World.h"

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>
#include <webp/encode.h>

namespace {

// Encoded tiles: the PNGs of the shared plain_1.mbtiles fixture (when it is
// there) and the JPEGs of the Earth demo at level 2.
struct RealTiles {
    RealTiles()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_Init(SDL_INIT_VIDEO);
        screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
        png = archiveTiles(TESSEL_SOURCE_DIR "/../shared/fixtures/plain_1.mbtiles");
        std::string error;
        char pattern[] = "/tmp/tessel-tilebench-XXXXXX";
        dir = mkdtemp(pattern);
        if (World::makeEarth(dir + "/earth", "/usr/share/xplanet/images/earth.jpg",
                             "/usr/share/xplanet/images/night.jpg", TESSEL_TEST_FONT, 2, &error)) {
            std::ifstream in(dir + "/earth/sat/15.map", std::ios::binary);
            PackedMap::Header header;
            std::string bytes;
            if (PackedMap::readHeader(in, &header))
                for (int i = header.firstIndex; i < header.endIndex; ++i)
                    if (PackedMap::readTile(in, header, i, &bytes))
                        jpeg.push_back(bytes);
        }
    }
    ~RealTiles() { std::system(("rm -rf " + dir).c_str()); }

    const std::vector<std::string>& of(int kind) const { return kind == 0 ? png : kind == 1 ? jpeg : webp(); }

    // The PNG tiles again as lossy WebP, as WebP archives hold them.
    const std::vector<std::string>& webp() const
    {
        static std::vector<std::string> encoded = [this] {
            std::vector<std::string> out;
            for (const std::string& t : png) {
                SDL_Surface* raw = IMG_Load_RW(SDL_RWFromConstMem(t.data(), static_cast<int>(t.size())), 1);
                SDL_Surface* rgba = raw ? SDL_CreateRGBSurface(SDL_SWSURFACE, raw->w, raw->h, 32, 0x000000ff,
                                                               0x0000ff00, 0x00ff0000, 0xff000000)
                                        : nullptr;
                if (rgba) {
                    SDL_SetAlpha(raw, 0, 255);
                    SDL_BlitSurface(raw, nullptr, rgba, nullptr);
                    std::uint8_t* bytes = nullptr;
                    const std::size_t n = WebPEncodeRGBA(static_cast<std::uint8_t*>(rgba->pixels), rgba->w, rgba->h,
                                                         rgba->pitch, 75, &bytes);
                    if (n)
                        out.emplace_back(reinterpret_cast<char*>(bytes), n);
                    WebPFree(bytes);
                }
                SDL_FreeSurface(rgba);
                SDL_FreeSurface(raw);
            }
            return out;
        }();
        return encoded;
    }

    SDL_Surface* screen = nullptr;
    std::string dir;
    std::vector<std::string> png, jpeg;
};

RealTiles& realTiles()
{
    static RealTiles t;
    return t;
}

void BM_TileLoadOurs(benchmark::State& state)
{
    const std::vector<std::string>& tiles = realTiles().of(static_cast<int>(state.range(0)));
    if (tiles.empty())
        return state.SkipWithError("no tiles");
    std::size_t i = 0;
    for (auto _ : state) {
        Bitmap b;
        TileDecoder::decode(tiles[i++ % tiles.size()], 256, &b, nullptr);
        benchmark::DoNotOptimize(b.rgb.data());
    }
}
// 0: PNG, 1: JPEG, 2: WebP.
BENCHMARK(BM_TileLoadOurs)->ArgName("format")->Arg(0)->Arg(1)->Arg(2);

void BM_TileLoadSdl(benchmark::State& state)
{
    const std::vector<std::string>& tiles = realTiles().of(static_cast<int>(state.range(0)));
    if (tiles.empty())
        return state.SkipWithError("no tiles");
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& t = tiles[i++ % tiles.size()];
        SDL_Surface* s = IMG_Load_RW(SDL_RWFromConstMem(t.data(), static_cast<int>(t.size())), 1);
        SDL_Surface* d = SDL_DisplayFormat(s);
        SDL_FreeSurface(s);
        SDL_FreeSurface(d);
    }
}
BENCHMARK(BM_TileLoadSdl)->ArgName("format")->Arg(0)->Arg(1)->Arg(2);

// The same tiles once through each path, for bench/decode_cost.sh to count
// with callgrind: one function per path and format, so that one profile
// holds them all side by side.
// (Each fetches its own tiles, so that no two bodies are alike and folded.)
template <int kind>
__attribute__((noinline)) void decodeOurs()
{
    for (const std::string& t : realTiles().of(kind)) {
        Bitmap b;
        TileDecoder::decode(t, 256, &b, nullptr);
        benchmark::DoNotOptimize(b.rgb.data());
    }
}

template <int kind>
__attribute__((noinline)) void decodeWithSdl()
{
    for (const std::string& t : realTiles().of(kind)) {
        SDL_Surface* s = IMG_Load_RW(SDL_RWFromConstMem(t.data(), static_cast<int>(t.size())), 1);
        SDL_Surface* d = SDL_DisplayFormat(s);
        SDL_FreeSurface(s);
        SDL_FreeSurface(d);
    }
}

template <int kind>
void decodeBoth()
{
    decodeOurs<kind>();
    decodeWithSdl<kind>();
}

void BM_TileDecodeSideBySide(benchmark::State& state)
{
    for (int kind : {0, 1, 2}) // made and encoded before anything is counted
        realTiles().of(kind);
    for (auto _ : state) {
        decodeBoth<0>();
        decodeBoth<1>();
        decodeBoth<2>();
    }
}
BENCHMARK(BM_TileDecodeSideBySide)->Iterations(1);

// The Earth package at level 2, its map open with the loader in manual
// mode: the loader's work runs between frames, untimed, as the thread would.
struct EarthView {
    EarthView() : dir(realTiles().dir)
    {
        if (chdir(dir.c_str()) != 0)
            std::abort();
        std::ofstream conf("earth/map.conf", std::ios::app);
        map.pipeline.setMode(TilePipeline::Mode::manual);
        map.create(realTiles().screen, "earth/map.conf");
        map.zoomIn();
        map.zoomIn();
        settle();
    }
    void settle()
    {
        while (map.pipeline.loader->step()) {
        }
        map.update();
    }
    std::string dir;
    Map map;
};

// A steady pan frame: 4 pixels, the loader's results taken, the map drawn.
void BM_PanFrameSteady(benchmark::State& state)
{
    EarthView view;
    int direction = 4;
    for (auto _ : state) {
        if (view.map.grid.offsetX + direction < 0 || view.map.grid.offsetX + direction > 400)
            direction = -direction;
        view.map.move(direction, 0);
        view.map.update();
        view.map.draw();
    }
}
BENCHMARK(BM_PanFrameSteady);

// Every frame crosses a column edge (swinging back and forth); with
// range(0) = 1 the cache is emptied first, so the incoming cells show
// stand-ins and are requested: the worst frame the main thread sees.
void BM_PanFrameAcrossEdge(benchmark::State& state)
{
    EarthView view;
    int direction = 256;
    for (auto _ : state) {
        if (state.range(0)) {
            state.PauseTiming();
            view.settle();
            view.map.pipeline.cache.clear();
            state.ResumeTiming();
        }
        if (!view.map.move(direction, 0))
            direction = -direction;
        view.map.update();
        view.map.draw();
    }
}
BENCHMARK(BM_PanFrameAcrossEdge)->ArgName("cold")->Arg(0)->Arg(1);

} // namespace
