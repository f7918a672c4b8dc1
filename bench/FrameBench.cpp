// Whole passes of the program's loop on the Earth demo: idle with the
// toolbar, with the menu open, the map alone, and a steady pan; and with the
// live position over a recording of 10 000 points.
#include "Clock.h"
#include "LoopbackGpsd.h"
#include "Mercator.h"
#include "PanSquare.h"
#include "Program.h"
#include "TestSupport.h"
#include "World.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

class StepClock : public Clock {
public:
    Uint32 ticks() override { return now; }
    void delay(Uint32 ms) override { now += ms; }
    long long unixTime() override { return 1700000000; }
    Uint32 now = 1000;
};

// A run directory with the Earth package (levels 0 to 2), once per process.
struct RunDir {
    RunDir()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_Init(SDL_INIT_VIDEO);
        screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
        TTF_Init();
        char pattern[] = "/tmp/tessel-framebench-XXXXXX";
        dir = mkdtemp(pattern);
        const std::string lay = "bash " TESSEL_SOURCE_DIR "/scripts/lay-run-dir.sh " + dir + " " TESSEL_TEST_FONT;
        std::string error;
        if (std::system(lay.c_str()) != 0 || chdir(dir.c_str()) != 0 ||
            !World::makeEarth("maps/earth", "/usr/share/xplanet/images/earth.jpg", "/usr/share/xplanet/images/night.jpg",
                              TESSEL_TEST_FONT, 2, &error))
            std::abort();
        fonts.open("media/font.ttf");
    }
    SDL_Surface* screen = nullptr;
    std::string dir;
    Fonts fonts;
};

RunDir& runDir()
{
    static RunDir d;
    return d;
}

// The program with the Earth package open and its tiles loaded.
struct Session {
    Session()
    {
        RunDir& d = runDir();
        program = std::make_unique<Program>(d.screen, d.fonts, &keys, &clock);
        program->map.pipeline.setMode(TilePipeline::Mode::synchronous);
        program->mapUI.loadPackage(0);
        passes(3);
    }
    void passes(int n)
    {
        for (int i = 0; i < n; ++i)
            program->pass();
    }
    StepClock clock;
    ScriptedEvents keys;
    std::unique_ptr<Program> program;
};

void runIdle(benchmark::State& state, Session* s)
{
    s->passes(3);
    for (auto _ : state)
        s->program->pass();
}

void BM_IdleWithToolBar(benchmark::State& state)
{
    Session s;
    runIdle(state, &s);
}
BENCHMARK(BM_IdleWithToolBar);

void BM_IdleWithMenu(benchmark::State& state)
{
    Session s;
    s.program->menu.model.switchMenu(s.program->pages.options);
    s.program->menu.visible = true;
    runIdle(state, &s);
}
BENCHMARK(BM_IdleWithMenu);

void BM_IdleMapAlone(benchmark::State& state)
{
    Session s;
    s.program->toolBar.visible = false;
    runIdle(state, &s);
}
BENCHMARK(BM_IdleMapAlone);

void BM_SteadyPanMapAlone(benchmark::State& state)
{
    Session s;
    s.program->toolBar.visible = false;
    int frame = 0;
    for (auto _ : state) {
        // Back and forth inside the grid: no tile comes in.
        if (frame % 40 == 0) {
            state.PauseTiming();
            s.keys.key(frame % 80 == 0 ? SDLK_LEFT : SDLK_RIGHT, false);
            s.keys.key(frame % 80 == 0 ? SDLK_RIGHT : SDLK_LEFT);
            state.ResumeTiming();
        }
        ++frame;
        s.program->pass();
    }
}
BENCHMARK(BM_SteadyPanMapAlone);

// Swings with the shipped settings (position overlay on, toolbar hidden):
// `there` for 40 frames, `back` for 40, inside the loaded grid. A fixed
// count of frames, so that runs under callgrind compare.
void swing(benchmark::State& state, Session& s, SDLKey there, SDLKey back)
{
    s.program->toolBar.visible = false;
    int frame = 0;
    for (auto _ : state) {
        if (frame % 40 == 0) {
            state.PauseTiming();
            const bool out = frame % 80 == 0;
            s.keys.key(out ? back : there, false);
            s.keys.key(out ? there : back);
            state.ResumeTiming();
        }
        ++frame;
        measuredFrame(s.program.get());
    }
}

void BM_PanFramesLeftRight(benchmark::State& state)
{
    Session s;
    swing(state, s, SDLK_LEFT, SDLK_RIGHT);
}
BENCHMARK(BM_PanFramesLeftRight)->Iterations(160);

void BM_PanFramesUpDown(benchmark::State& state)
{
    Session s;
    swing(state, s, SDLK_UP, SDLK_DOWN);
}
BENCHMARK(BM_PanFramesUpDown)->Iterations(160);

// The Earth package with the live position from a gpsd stand-in, worked on
// this thread: a recording of 10 000 fixes wandering over the screen (a
// pixel or two apart), the last one at the view's centre with a course and
// an accuracy circle 40 pixels across.
struct LiveSession : Session {
    LiveSession()
    {
        program->gps.start("127.0.0.1:" + gpsd.port, false);
        program->gps.live.setRecording(true);
        program->gps.live.step(0);
        gpsd.accept();
        program->map.worldPixel(160, 120, &centreX, &centreY);
        std::string lines;
        for (int i = 0; i < 10000; ++i) {
            lines += fixAt(centreX + 130 * std::sin(i * 0.0013) + 8 * std::sin(i * 0.05),
                           centreY + 95 * std::sin(i * 0.0021) + 8 * std::cos(i * 0.04), i, "");
            if (i % 100 == 99 || i == 9999) {
                feed(lines, static_cast<unsigned long>(i + 1));
                lines.clear();
            }
        }
        feed(fixAt(centreX, centreY, 10000, ",\"track\":60,\"speed\":1.5"), 10001);
        passes(3);
    }
    // The recording would be read as a track by the sessions after.
    ~LiveSession()
    {
        program.reset();
        std::filesystem::remove_all("tracks");
        std::filesystem::create_directory("tracks");
    }
    std::string fixAt(double x, double y, int second, const std::string& more) const
    {
        double lon, lat;
        Mercator::toLonLat(x, y, z(), &lon, &lat);
        return LoopbackGpsd::tpv(lat, lon, second, 20 * Mercator::metresPerPixel(lat, z()), more);
    }
    // Sends `lines` and works the feed until it took `reports` in all.
    void feed(const std::string& lines, unsigned long reports)
    {
        gpsd.send(lines);
        for (int i = 0; i < 1000 && program->gps.live.reportsTaken() < reports; ++i)
            program->gps.live.step(10);
        if (program->gps.live.reportsTaken() < reports)
            std::abort();
    }
    int z() const
    {
        int level = 0;
        program->map.mercatorLevel(&level);
        return level;
    }
    LoopbackGpsd gpsd;
    double centreX = 0, centreY = 0;
};

void BM_LivePanFrames(benchmark::State& state)
{
    LiveSession s;
    swing(state, s, SDLK_LEFT, SDLK_RIGHT);
}
BENCHMARK(BM_LivePanFrames)->Iterations(160);

void BM_LiveIdleFrames(benchmark::State& state)
{
    LiveSession s;
    s.program->toolBar.visible = false;
    for (auto _ : state)
        measuredFrame(s.program.get());
}
BENCHMARK(BM_LiveIdleFrames)->Iterations(100);

// The view no longer follows; a fix a frame moves the marker and adds to
// the recording: only their surroundings are drawn.
void BM_LiveFixFrames(benchmark::State& state)
{
    LiveSession s;
    s.program->toolBar.visible = false;
    s.program->gps.live.follow.userMoved();
    int frame = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.feed(s.fixAt(s.centreX + 2 * (frame % 40), s.centreY - frame % 40, 10001 + frame, ",\"track\":60,\"speed\":1.5"),
               10002 + static_cast<unsigned long>(frame));
        ++frame;
        state.ResumeTiming();
        measuredFrame(s.program.get());
    }
}
BENCHMARK(BM_LiveFixFrames)->Iterations(100);

} // namespace
