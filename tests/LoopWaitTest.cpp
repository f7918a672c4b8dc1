#include "GpsWorker.h"
#include "LoopWait.h"
#include "LoopbackGpsd.h"
#include "ProgramDriver.h"
#include "TestSupport.h"
#include "TileLoader.h"
#include "TrackReader.h"
#include "Waker.h"

#include <gtest/gtest.h>
#include <cmath>
#include <memory>
#include <poll.h>
#include <sys/stat.h>

namespace {

// Sleeps in poll() until `waker` is woken, at most a bound far above what
// the work needs.
bool woken(Waker* waker)
{
    pollfd p{waker->fd(), POLLIN, 0};
    return poll(&p, 1, 10000) > 0 && waker->clear();
}

class LoopWaitTest : public ::testing::Test, public ProgramDriver {
protected:
    void SetUp() override
    {
        dir.layRunDir();
        mkdir("maps", 0755);
        mkdir("maps/a", 0755);
        writeFile("maps/a/map.conf", "api=google\npacked=no\ntype=sat\nzoom=10\nzoom_actual=10\n"
                                     "begin_x=0\nbegin_y=0\nend_x=20\nend_y=20\npos_x=5\npos_y=5\n");
    }
    void startWith(const std::string& conf)
    {
        writeFile("tessel.conf", conf);
        start(false);
        program->notification.bgText.clear();
        program->pass();
    }
    int due() { return LoopWait::msUntilDue(*program, clock.now); }
};

class Echo : public TileWorker {
public:
    TileResult work(const TileRequest& request) override
    {
        TileResult result;
        result.key = request.key;
        return result;
    }
};

} // namespace

TEST_F(LoopWaitTest, SleepsUntilTheFirstThingDueAndNotAtAllWhileSomethingMoves)
{
    startWith("show_fps=no\nshow_battery=no\n");
    EXPECT_EQ(due(), -1) << "nothing moves, nothing is due: wait for input";
    program->notification.setBg("hello", 2000);
    EXPECT_EQ(due(), 2000);
    clock.advance(2500);
    EXPECT_EQ(due(), 0) << "overdue: pass now";
    program->pass();
    EXPECT_EQ(due(), -1) << "the message is gone";

    ASSERT_TRUE(program->map.create(testScreen(), "maps/a/map.conf"));
    program->panning.x = 1;
    EXPECT_EQ(due(), 0) << "a pan moves every frame";
    program->panning.stop();
    EXPECT_EQ(due(), -1);
    program->commands.quit = true;
    EXPECT_EQ(due(), 0);
}

TEST_F(LoopWaitTest, TheFrameRateTextAndTheBatteryWakeTheLoopWhenShown)
{
    startWith("show_fps=yes\nshow_battery=no\n");
    EXPECT_EQ(due(), static_cast<int>(program->fps.nextTextUpdate - clock.now));
    EXPECT_GT(due(), 0);
    clock.advance(static_cast<std::uint32_t>(due()));
    EXPECT_EQ(due(), 0);
    program->pass();
    EXPECT_GT(due(), 0) << "drawn: the next update is ahead";

    program->options.showFps = false;
    program->options.showBattery = true;
    program->battery.nextStep = clock.now + 700;
    EXPECT_EQ(due(), 700);
}

TEST_F(LoopWaitTest, TimeAsleepIsNoFramesTime)
{
    startWith("fps=30\nmap_move_speed=300\nshow_fps=no\nshow_battery=no\n");
    ASSERT_TRUE(program->map.create(testScreen(), "maps/a/map.conf"));
    program->pass();
    clock.advance(60000); // as if asleep for a minute
    program->rest();
    program->pass(); // woken by an arrow key, say
    EXPECT_EQ(program->fps.frameTime, 33u) << "the minute asleep is no frame's";
    program->panning.x = 1;
    const int before = program->map.grid.offsetX;
    program->pass();
    EXPECT_EQ(program->map.grid.offsetX - before, 9) << "one frame at the cap: 300 px/s for 33 ms";
}

TEST_F(LoopWaitTest, EveryHandOverWakesTheLoop)
{
    startWith("background_loading=no\n");
    program->waker.clear();
    EXPECT_FALSE(program->waker.clear());

    ASSERT_TRUE(program->map.create(testScreen(), "maps/a/map.conf"));
    program->map.pipeline.setMode(TilePipeline::Mode::manual);
    program->waker.clear();
    program->map.pipeline.loader->want({TileRequest()});
    ASSERT_TRUE(program->map.pipeline.loader->step());
    EXPECT_TRUE(program->waker.clear()) << "a tile";

    writeFile("t.gpx", "<gpx><trk><trkseg><trkpt lat=\"50\" lon=\"14\"/><trkpt lat=\"50.1\" lon=\"14\"/>"
                       "</trkseg></trk></gpx>");
    program->trackReader.read({"t.gpx"}, false);
    EXPECT_FALSE(program->waker.clear());
    ASSERT_TRUE(program->trackReader.step());
    EXPECT_TRUE(program->waker.clear()) << "a track";

    LoopbackGpsd gpsd;
    GpsWorker worker(gpsd.address(), dir.dir, &clock);
    Waker waker;
    worker.changed = [&waker] { waker.wake(); };
    worker.round(0);
    EXPECT_TRUE(waker.clear()) << "connected";
    ASSERT_TRUE(gpsd.accept());
    ASSERT_TRUE(gpsd.send(LoopbackGpsd::tpv(50, 14, 0)));
    for (int i = 0; i < 100 && worker.reports() == 0; ++i)
        worker.round(100);
    EXPECT_EQ(worker.reports(), 1u);
    EXPECT_TRUE(waker.clear()) << "a fix";
    worker.round(0);
    EXPECT_FALSE(waker.clear()) << "no news, no wake-up";

    // With what the screen shows of a fix (here its longitude to 0.001°),
    // only a report that shows something new wakes the loop, or one a
    // heartbeat after the last.
    unsigned long sent = 1;
    const auto report = [&](double lon) {
        EXPECT_TRUE(gpsd.send(LoopbackGpsd::tpv(50, lon, static_cast<int>(sent))));
        ++sent;
        for (int i = 0; i < 100 && worker.reports() < sent; ++i)
            worker.round(100);
        EXPECT_EQ(worker.reports(), sent);
        return waker.clear();
    };
    worker.setShowing(1, [](const Fix& fix) { return static_cast<std::uint64_t>(std::llround(fix.lon * 1000)); });
    EXPECT_TRUE(report(14)) << "the first since the screen changed";
    EXPECT_FALSE(report(14.0001));
    EXPECT_TRUE(report(14.002));
    clock.advance(GpsWorker::heartbeatMs);
    EXPECT_TRUE(report(14.002)) << "the heartbeat";
    EXPECT_FALSE(report(14.002));
}

TEST(WorkQueueTest, AnOwnThreadHandsOverWhatStepsWould)
{
    Echo echo;
    Waker waker;
    TileLoader loader(&echo);
    loader.onFinished([&waker] { waker.wake(); });
    std::vector<TileRequest> wanted(3);
    for (int i = 0; i < 3; ++i)
        wanted[static_cast<std::size_t>(i)].key.x = i;
    loader.want(wanted);
    loader.start();
    std::vector<TileResult> got;
    while (got.size() < 3 && woken(&waker))
        for (TileResult& r : loader.takeResults())
            got.push_back(std::move(r));
    loader.stop();
    ASSERT_EQ(got.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(got[static_cast<std::size_t>(i)].key.x, i);
}
