// The screen drawn part by part is pixel-identical to the screen drawn
// whole: two programs go through the same scripted session, one drawing only
// what changed, the other everything, each on its own screen.
#include "LoopbackGpsd.h"
#include "Mercator.h"
#include "Packages.h"
#include "Program.h"
#include "TestSupport.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

SDL_Surface* newScreen()
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
}

struct Session {
    explicit Session(bool whole) : screen(newScreen())
    {
        program = std::make_unique<Program>(screen, testFonts(), &events, &clock);
        program->map.pipeline.setMode(TilePipeline::Mode::synchronous);
        program->fullRedraw = whole;
    }
    ~Session()
    {
        program.reset();
        SDL_FreeSurface(screen);
    }
    SDL_Surface* screen;
    FakeClock clock;
    ScriptedEvents events;
    std::unique_ptr<Program> program;
};

int differingRows(SDL_Surface* a, SDL_Surface* b)
{
    int rows = 0;
    for (int y = 0; y < a->h; ++y)
        rows += std::memcmp(static_cast<char*>(a->pixels) + y * a->pitch, static_cast<char*>(b->pixels) + y * b->pitch,
                            static_cast<std::size_t>(a->w) * 2) != 0;
    return rows;
}

} // namespace

class ScreenDamageSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        testScreen();
        dir.layRunDir();
        // The frame rate is shown; the packages' captions are too wide for
        // their menu lines and roll.
        std::string settings = readFile("tessel.conf");
        settings.replace(settings.find("show_fps=no"), 11, "show_fps=yes");
        writeFile("tessel.conf", settings);
        writeSamplePackage("maps/alpha/", "Alpha, a caption far too long for one line of the menu", false);
        writeSamplePackage("maps/beta/", "Beta, another caption far too long for one line", true);
        incremental = std::make_unique<Session>(false);
        whole = std::make_unique<Session>(true);
    }

    // Queues the same input for both, then runs `passes` passes of each and
    // compares the screens after every one.
    void step(const std::function<void(ScriptedEvents*)>& input, int passes = 1)
    {
        input(&incremental->events);
        input(&whole->events);
        for (int i = 0; i < passes; ++i) {
            incremental->program->pass();
            whole->program->pass();
            ++compared;
            ASSERT_EQ(differingRows(incremental->screen, whole->screen), 0) << "pass " << compared;
        }
    }
    void key(SDLKey k, int passes = 1, bool down = true, SDLMod mod = KMOD_NONE)
    {
        step([&](ScriptedEvents* e) { e->key(k, down, mod); }, passes);
    }
    void tap(int x, int y, int passes = 1)
    {
        step([&](ScriptedEvents* e) {
            e->press(x, y);
            e->press(x, y, false);
        }, passes);
    }
    void wait(Uint32 ms, int passes = 1)
    {
        incremental->clock.advance(ms);
        whole->clock.advance(ms);
        step([](ScriptedEvents*) {}, passes);
    }

    TempDir dir;
    std::unique_ptr<Session> incremental, whole;
    int compared = 0;
};

TEST_F(ScreenDamageSession, DrawingWhatChangedEqualsDrawingEverything)
{
    wait(0, 3);
    tap(55, 231, 2); // the package page; the long caption rolls
    ASSERT_TRUE(incremental->program->menu.lineRolling());
    wait(0, 60);
    key(SDLK_RETURN, 2);
    ASSERT_TRUE(incremental->program->map.loaded());
    key(SDLK_ESCAPE, 2); // the map has the keys
    key(SDLK_RIGHT, 40);
    key(SDLK_RIGHT, 1, false);
    key(SDLK_DOWN, 25);
    key(SDLK_DOWN, 1, false);
    key(SDLK_KP_MINUS, 3);
    key(SDLK_KP_PLUS, 3);
    key(SDLK_ESCAPE, 2); // the toolbar again
    tap(74, 231, 60);    // save: the notification shows, then ends
    wait(10000, 3);      // a battery step
    tap(93, 231, 2);     // options
    key(SDLK_RETURN, 2); // language
    key(SDLK_DOWN, 1);
    key(SDLK_RETURN, 3);
    key(SDLK_ESCAPE, 2);
    tap(112, 231, 2); // map layers
    key(SDLK_RETURN, 2);
    key(SDLK_DOWN, 1);
    key(SDLK_RETURN, 3);
    key(SDLK_ESCAPE, 5);
    EXPECT_GT(compared, 200);
}

TEST_F(ScreenDamageSession, AnIdleFrameDrawsNothing)
{
    // The battery symbol too, which steps with time.
    incremental->program->options.showBattery = whole->program->options.showBattery = true;
    wait(0, 3);
    tap(55, 231, 2);
    key(SDLK_RETURN, 2);
    incremental->program->options.showFps = false;
    whole->program->options.showFps = false;
    wait(0, 2);
    EXPECT_TRUE(incremental->program->damage.damaged().empty());
    fill(incremental->screen, 255, 0, 255);
    incremental->program->pass();
    EXPECT_EQ(pixelsDifferentFrom(incremental->screen, SDL_Rect{0, 0, 320, 240}, 255, 0, 255), 0)
        << "nothing was drawn";
}

// Both programs follow, record and lose the same fixes from one gpsd
// stand-in; a fix the view does not follow redraws only its own
// surroundings, and a settled screen draws nothing.
TEST_F(ScreenDamageSession, TheLivePositionDrawsWhatChangedOnly)
{
    LoopbackGpsd gpsd;
    wait(0, 3);
    tap(55, 231, 2);
    key(SDLK_RETURN, 2);
    Session* both[] = {incremental.get(), whole.get()};
    for (Session* s : both) {
        s->program->options.showFps = false; // its box would widen the one drawn
        s->program->gps.start("127.0.0.1:" + gpsd.port, false);
        s->program->gps.live.setRecording(true);
        s->program->gps.live.step(0);
    }
    ASSERT_TRUE(gpsd.accept());
    ASSERT_EQ(2, gpsd.accepted);
    unsigned long sent = 0;
    const auto fix = [&](double x, double y, const std::string& more, int passes = 2) {
        const Map& map = incremental->program->map;
        int z = 0;
        double wx, wy, lon, lat;
        ASSERT_TRUE(map.mercatorLevel(&z));
        map.worldPixel(x, y, &wx, &wy);
        Mercator::toLonLat(wx, wy, z, &lon, &lat);
        ASSERT_TRUE(gpsd.send(LoopbackGpsd::tpv(lat, lon, static_cast<int>(sent), 30, more)));
        ++sent;
        for (Session* s : both) {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (s->program->gps.live.reportsTaken() < sent && std::chrono::steady_clock::now() < end)
                s->program->gps.live.step(20);
            ASSERT_EQ(sent, s->program->gps.live.reportsTaken());
        }
        step([](ScriptedEvents*) {}, passes);
    };
    fix(170, 125, ""); // followed: the map moves
    fix(175, 118, ",\"track\":80,\"speed\":3");
    key(SDLK_ESCAPE, 2);
    key(SDLK_LEFT, 10); // away from the fix: no longer followed
    key(SDLK_LEFT, 2, false);
    SDL_Rect shown{0, 0, 0, 0};
    incremental->program->showBox = [&shown](const SDL_Rect& box) { shown = box; };
    for (int i = 0; i < 8; ++i) {
        shown = SDL_Rect{0, 0, 0, 0};
        fix(150 + 7 * i, 100 + 3 * i, ",\"track\":" + std::to_string(40 * i) + ",\"speed\":2", 1);
        EXPECT_GT(shown.w * shown.h, 0) << "fix " << i;
        EXPECT_LT(shown.w * shown.h, 320 * 240 / 8) << "fix " << i;
        wait(0, 1);
    }
    fix(700, 300, ""); // off the screen: the arrow at the edge
    fix(900, -300, "");
    gpsd.hangUp(); // the indicator goes grey, the marker goes
    for (Session* s : both) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (s->program->gps.live.reportsTaken() == sent && s->program->gps.live.status.link == GpsStatus::connected &&
               std::chrono::steady_clock::now() < end) {
            s->program->gps.live.step(20);
            s->program->gps.update();
        }
    }
    wait(0, 2);
    key(SDLK_f, 3);
    wait(0, 2);
    EXPECT_TRUE(incremental->program->damage.damaged().empty()) << "a settled screen draws nothing";
    EXPECT_GT(compared, 40);
}

// A route across the view and its line of text, drawn part by part as
// whole while the map moves; a cleared route leaves nothing behind.
TEST_F(ScreenDamageSession, ARouteDrawsAsTheWholeScreen)
{
    wait(0, 3);
    tap(55, 231, 2);
    key(SDLK_RETURN, 2);
    key(SDLK_ESCAPE, 2);
    Route route;
    int z = 0;
    ASSERT_TRUE(incremental->program->map.mercatorLevel(&z));
    for (const auto& xy : {std::make_pair(20, 60), std::make_pair(160, 120), std::make_pair(300, 200)}) {
        double wx, wy;
        RoutePoint p;
        incremental->program->map.worldPixel(xy.first, xy.second, &wx, &wy);
        Mercator::toLonLat(wx, wy, z, &p.lon, &p.lat);
        p.metres = route.points.empty() ? 0 : route.points.back().metres + 900;
        route.points.push_back(p);
    }
    for (Program* p : {incremental->program.get(), whole->program.get()}) {
        p->route.route = route;
        p->route.layer.show(route);
        p->route.banner.text = "1.8 km, 4 min";
    }
    wait(0, 2);
    key(SDLK_RIGHT, 20);
    key(SDLK_RIGHT, 1, false);
    wait(0, 2);
    for (Program* p : {incremental->program.get(), whole->program.get()}) {
        p->route.route = Route();
        p->route.layer.clear();
        p->route.banner.text.clear();
    }
    wait(0, 2);
}
