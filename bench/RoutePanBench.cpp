// Panning while a route is computed: the 38 km car route across Andorra
// asked for again and again on the route worker's own thread while the
// map pans over Andorra, beside the same pan with no route. Each pass's
// wall time is taken; the counters are the median, the 95th percentile and
// the worst in microseconds, and their ratios to the median without a
// route; and how often the main thread gave up the processor inside a pass
// (a wait on the worker would show there, whatever the machine's load). A
// measurement, not a test: run it on a quiet machine,
//   tessel_bench --benchmark_filter=PanWhileRouting
#include "Archives.h"
#include "Clock.h"
#include "Packages.h"
#include "Program.h"
#include "PlanetSplitter.h"
#include "SafeFile.h"
#include "TestSupport.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

class StepClock : public Clock {
public:
    Uint32 ticks() override { return now += 33; }
    void delay(Uint32 ms) override { now += ms; }
    long long unixTime() override { return 1700000000; }
    Uint32 now = 1000;
};

// A run directory with Andorra's routing data and a raster archive of
// 12 x 8 test tiles over it at level 13; false without the fixture.
bool layAndorra()
{
    static int made = 0;
    if (made)
        return made > 0;
    made = -1;
    const std::string pbf = TESSEL_SOURCE_DIR "/../shared/fixtures/andorra.osm.pbf";
    const std::string data = TESSEL_BUILD_DIR "/bench-routes/andorra-pan.routes";
    std::string why;
    if (!SafeFile::present(data + "/nodes.mem") &&
        (!SafeFile::present(pbf) || std::system(("mkdir -p " + data).c_str()) != 0 ||
         !PlanetSplitter::run(pbf, data, nullptr, nullptr, &why)))
        return false;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO);
    TTF_Init();
    char pattern[] = "/tmp/tessel-routepan-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string lay = "bash " TESSEL_SOURCE_DIR "/scripts/lay-run-dir.sh " + dir + " " TESSEL_TEST_FONT;
    if (std::system(lay.c_str()) != 0 || chdir(dir.c_str()) != 0 ||
        std::system(("mkdir -p maps && ln -s " + data + " maps/andorra.routes").c_str()) != 0)
        return false;
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    for (int x = 4125; x < 4137; ++x)
        for (int y = 3020; y < 3028; ++y)
            tiles.emplace_back(13, x, (1 << 13) - 1 - y, tilePng((x - 4125) + 12 * (y - 3020)));
    writeMBTiles("maps/andorra.mbtiles", tiles, {{"name", "Andorra"}, {"format", "png"}});
    made = 1;
    return true;
}

long waitsSoFar()
{
    rusage use{};
    getrusage(RUSAGE_THREAD, &use);
    return use.ru_nvcsw;
}

struct Frames {
    std::vector<double> us;
    long waits = 0; // times the main thread gave up the processor inside a pass
    double at(double share)
    {
        std::sort(us.begin(), us.end());
        return us[std::min(us.size() - 1, static_cast<std::size_t>(share * static_cast<double>(us.size())))];
    }
};

int routes = 0;

// 400 pan passes, swinging left and right inside the loaded tiles; with
// `routing`, a route is always being computed.
void pan(Program& program, ScriptedEvents& keys, bool routing, Frames* frames)
{
    for (int frame = 0; frame < 400; ++frame) {
        if (frame % 40 == 0) {
            keys.key(frame % 80 == 0 ? SDLK_LEFT : SDLK_RIGHT, false);
            keys.key(frame % 80 == 0 ? SDLK_RIGHT : SDLK_LEFT);
        }
        if (routing && !program.route.computing()) {
            program.route.routeTo(42.4633, 1.4906);
            ++routes;
        }
        const long waits = waitsSoFar();
        const auto start = std::chrono::steady_clock::now();
        program.pass();
        frames->waits += waitsSoFar() - waits;
        frames->us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
}

void BM_PanWhileRouting(benchmark::State& state)
{
    if (!layAndorra()) {
        state.SkipWithError("no andorra.osm.pbf beside the project, or no planetsplitter");
        return;
    }
    SDL_Surface* screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
    Fonts fonts;
    fonts.open("media/font.ttf");
    StepClock clock;
    ScriptedEvents keys;
    Program program(screen, fonts, &keys, &clock);
    program.map.pipeline.setMode(TilePipeline::Mode::synchronous);
    program.toolBar.visible = false;
    if (!program.mapUI.loadPackage(0) || !program.map.centreOn(1.60, 42.53)) {
        state.SkipWithError("the Andorra archive does not open");
        return;
    }
    // The start: a live fix at the route's other end.
    program.gps.live.status.fix.mode = FixMode::threeD;
    program.gps.live.status.fix.lat = 42.5425;
    program.gps.live.status.fix.lon = 1.7330;
    Frames quiet, busy;
    SDL_Event escape{};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.sym = SDLK_ESCAPE;
    // Rounds of each in turn, so that both meet the same load.
    for (auto _ : state)
        for (int round = 0; round < 10; ++round) {
            pan(program, keys, false, &quiet);
            pan(program, keys, true, &busy);
            program.route.cancelKey(escape);
        }
    const double median = quiet.at(0.5);
    state.counters["median_us"] = median;
    state.counters["routes"] = static_cast<double>(routes);
    state.counters["waits"] = static_cast<double>(busy.waits);
    state.counters["quiet_waits"] = static_cast<double>(quiet.waits);
    state.counters["routing_median_us"] = busy.at(0.5);
    state.counters["routing_p95_us"] = busy.at(0.95);
    state.counters["routing_worst_us"] = busy.at(1);
    state.counters["worst_over_median"] = busy.at(1) / median;
    state.counters["p95_over_median"] = busy.at(0.95) / median;
    state.counters["quiet_worst_over_median"] = quiet.at(1) / median;
}
BENCHMARK(BM_PanWhileRouting)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
