#include "LoopWait.h"
#include "LoopbackGpsd.h"
#include "MapUI.h"
#include "MenuLine.h"
#include "Mercator.h"
#include "Packages.h"
#include "PositionMarker.h"
#include "ProgramDriver.h"
#include "TestSupport.h"
#include "ToolAction.h"
#include "TrackRecorder.h"
#include "Tracks.h"

#include <gtest/gtest.h>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

SDL_Surface* blankScreen()
{
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
    fill(screen, 0, 0, 0);
    return screen;
}

bool samePixels(SDL_Surface* a, SDL_Surface* b)
{
    for (int y = 0; y < a->h; ++y)
        if (std::memcmp(static_cast<Uint8*>(a->pixels) + y * a->pitch, static_cast<Uint8*>(b->pixels) + y * b->pitch,
                        static_cast<std::size_t>(a->w) * 2) != 0)
            return false;
    return true;
}

} // namespace

// A recording grows a point at a time onto what was projected already; it
// must draw as the same points read from a file do.
TEST(TracksTest, ALineExtendedPointByPointDrawsAsTheWholeLine)
{
    Tracks growing, whole;
    growing.add(Tracks::File());
    Tracks::File file;
    const int z = 14;
    double originX, originY;
    Mercator::toPixel(14.40, 50.09, z, &originX, &originY);
    originX -= 160;
    originY -= 120;
    SDL_Surface* grown = blankScreen();
    // A wiggling walk of 300 points, 3 to 6 pixels apart at z, a new segment
    // after 120; drawn now and then as it grows (every level seen is kept
    // up to date), and at a second level.
    for (int i = 0; i < 300; ++i) {
        const LonLat point{14.40 + (i % 150) * 0.0003 - 0.02, 50.09 + 0.0004 * std::sin(i * 0.3) + (i / 150) * 0.001};
        const bool newLine = i == 120;
        growing.extend(0, point, newLine);
        if (newLine || file.data.lines.empty())
            file.data.lines.emplace_back();
        file.data.lines.back().push_back(point);
        if (i % 37 == 0) {
            growing.draw(grown, z, originX, originY, nullptr, false);
            growing.draw(grown, z - 3, originX / 8, originY / 8, nullptr, false);
        }
    }
    whole.add(file);
    // Where points are pixels apart, the same pixels; where many share a
    // pixel, each way thins them a little differently.
    int lit[2][2] = {};
    for (int k = 0; k < 2; ++k) {
        const double shrink = k == 0 ? 1 : 8;
        SDL_Surface* read = blankScreen();
        fill(grown, 0, 0, 0);
        growing.draw(grown, z - 3 * k, originX / shrink, originY / shrink, nullptr, false);
        whole.draw(read, z - 3 * k, originX / shrink, originY / shrink, nullptr, false);
        lit[k][0] = pixelsDifferentFrom(grown, SDL_Rect{0, 0, 320, 240}, 0, 0, 0);
        lit[k][1] = pixelsDifferentFrom(read, SDL_Rect{0, 0, 320, 240}, 0, 0, 0);
        if (k == 0) {
            EXPECT_TRUE(samePixels(grown, read));
        }
        SDL_FreeSurface(read);
    }
    EXPECT_GT(lit[0][1], 300);
    EXPECT_NEAR(lit[1][0], lit[1][1], lit[1][1] / 3);
    EXPECT_EQ(2u, growing.files[0].data.lines.size());
    SDL_FreeSurface(grown);
}

// The viewer with the live position, driven as a user would: a gpsd stand-in
// on a loopback port, the feed worked on the test's thread, the clock fake.
class LiveProgram : public ::testing::Test, public ProgramDriver {
protected:
    void SetUp() override
    {
        dir.layRunDir();
        writeSamplePackage("maps/alpha/", "Alpha", false);
    }

    void start(const std::string& gps)
    {
        ProgramDriver::start();
        ASSERT_TRUE(program->mapUI.loadPackage(0));
        program->gps.start(gps, false);
        program->gps.live.step(0);
        program->pass();
    }
    void startWithGpsd()
    {
        start("127.0.0.1:" + gpsd.port);
        ASSERT_TRUE(gpsd.accept());
    }
    // Sends `lines`, works the feed until it took `reports` reports in
    // all (for at most five seconds), then one pass.
    void send(const std::string& lines, unsigned long reports)
    {
        ASSERT_TRUE(gpsd.send(lines));
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (program->gps.live.reportsTaken() < reports && std::chrono::steady_clock::now() < end)
            program->gps.live.step(20);
        ASSERT_EQ(program->gps.live.reportsTaken(), reports);
        program->pass();
    }
    // The latitude and longitude under screen point (x, y) now.
    LonLat under(double x, double y) const
    {
        int z = 0;
        program->map.mercatorLevel(&z);
        double wx, wy;
        LonLat at;
        program->map.worldPixel(x, y, &wx, &wy);
        Mercator::toLonLat(wx, wy, z, &at.lon, &at.lat);
        return at;
    }
    // Where `at` is on the screen now.
    void expectOnScreenAt(const LonLat& at, double x, double y) const
    {
        int z = 0;
        program->map.mercatorLevel(&z);
        double wx, wy, ox, oy;
        Mercator::toPixel(at.lon, at.lat, z, &wx, &wy);
        program->map.worldPixel(0, 0, &ox, &oy);
        EXPECT_NEAR(wx - ox, x, 1.5);
        EXPECT_NEAR(wy - oy, y, 1.5);
    }
    void passes(int n)
    {
        for (int i = 0; i < n; ++i)
            program->pass();
    }

    // The program goes before the gpsd stand-in it talks to.
    void TearDown() override { program.reset(); }

    LoopbackGpsd gpsd;
};

TEST_F(LiveProgram, FollowsTheFixUntilPannedAndTheKeyFFollowsAgain)
{
    startWithGpsd();
    const LonLat first = under(200, 150);
    send(LoopbackGpsd::tpv(first.lat, first.lon, 0), 1);
    expectOnScreenAt(first, 160, 120);
    double lon = 0, lat = 0;
    ASSERT_TRUE(program->gps.live.followedPosition(program->map, &lon, &lat)) << "the overlay shows the fix";
    EXPECT_NEAR(first.lat, lat, 1e-7);

    events.key(SDLK_ESCAPE); // the map has the keys
    events.key(SDLK_RIGHT);
    passes(6);
    events.key(SDLK_RIGHT, false);
    passes(2);
    EXPECT_FALSE(program->gps.live.follow.following);
    const LonLat second = under(140, 100);
    double before[2], after[2];
    program->map.worldPixel(160, 120, &before[0], &before[1]);
    send(LoopbackGpsd::tpv(second.lat, second.lon, 1), 2);
    program->map.worldPixel(160, 120, &after[0], &after[1]);
    EXPECT_EQ(before[0], after[0]) << "a fix does not move a view the user moved";
    EXPECT_EQ(before[1], after[1]);
    EXPECT_FALSE(program->gps.live.followedPosition(program->map, &lon, &lat));
    const auto markShown = [] {
        Uint8 r, g, b;
        pixelAt(testScreen(), PositionMarker::followOffBox.x + 3, PositionMarker::followOffBox.y + 6, &r, &g, &b);
        return b > r + 60;
    };
    EXPECT_TRUE(markShown()) << "not following, said beside the state with the toolbar hidden";

    events.key(SDLK_f);
    passes(1);
    EXPECT_TRUE(program->gps.live.follow.following);
    EXPECT_FALSE(markShown());
    expectOnScreenAt(second, 160, 120);
    events.key(SDLK_KP_PLUS);
    passes(1);
    expectOnScreenAt(second, 160, 120);
    EXPECT_TRUE(program->gps.live.follow.following) << "zooming keeps following";
    EXPECT_FALSE(program->toolBar.findIcon(ToolAction::follow)->disabled);

    // Beyond the package's area the view stops at its edge: the overlay
    // then tells the centre, where the cross is, not the fix.
    send(LoopbackGpsd::tpv(-70, -170, 2), 3);
    EXPECT_TRUE(program->gps.live.follow.following);
    EXPECT_FALSE(program->gps.live.followedPosition(program->map, &lon, &lat));
    EXPECT_FALSE(program->gps.live.fixAtCentre(program->map)) << "so the cross is shown";
}

TEST_F(LiveProgram, RecordsAValidGpxThatGrowsOnTheMapUntilSwitchedOff)
{
    std::string settings = readFile("tessel.conf");
    settings.replace(settings.find("record_track=no"), 15, "record_track=yes");
    writeFile("tessel.conf", settings);
    startWithGpsd();
    const LonLat start = under(160, 120);
    for (int i = 0; i < 5; ++i)
        send(LoopbackGpsd::tpv(start.lat + i * 1e-4, start.lon + i * 2e-4, i), static_cast<unsigned long>(i + 1));
    ASSERT_EQ(1u, program->gps.live.recordingLine.files.size());
    EXPECT_EQ(5u, program->gps.live.recordingLine.files[0].data.points());
    const std::string path = program->gps.live.status.recordingPath;
    EXPECT_EQ(0u, path.find("tracks/recorded-20261207-181000.gpx")) << path;
    clock.advance(3000); // past the flush
    program->gps.live.step(0);
    GpxData data;
    std::string problem;
    EXPECT_TRUE(Gpx::read(path, &data, &problem)) << problem;
    EXPECT_EQ(5u, data.points());

    ASSERT_TRUE(program->gps.choose(program->trackPage.page, MenuLine::recordTrack));
    program->gps.live.step(0);
    program->pass();
    EXPECT_FALSE(program->gps.live.status.recording);
    std::string stored;
    program->settings.stringValue("record_track", &stored);
    EXPECT_EQ("no", stored);
    send(LoopbackGpsd::tpv(start.lat, start.lon, 9), 6);
    data = GpxData();
    EXPECT_TRUE(Gpx::read(path, &data, &problem)) << problem;
    EXPECT_EQ(5u, data.points()) << "closed, and nothing more after";
}

TEST_F(LiveProgram, AnAbsentOrLostGpsdIsShownAndNothingWaitsForIt)
{
    start("127.0.0.1:" + freeLoopbackPort());
    program->gps.live.step(0);
    program->pass();
    EXPECT_EQ(0u, program->notification.bgText.find("No gpsd at 127.0.0.1:")) << program->notification.bgText;
    EXPECT_GT(pixelsDifferentFrom(testScreen(), PositionMarker::indicatorBox, 0, 0, 0), 0);
    endsWithin(20, "passes without gpsd", [&] {
        for (int i = 0; i < 200; ++i) {
            clock.advance(50);
            program->gps.live.step(0);
            program->pass();
        }
    });
    EXPECT_FALSE(program->toolBar.findIcon(ToolAction::follow)->disabled);

    program->gps.start("127.0.0.1:" + gpsd.port, false);
    program->gps.live.step(0);
    ASSERT_TRUE(gpsd.accept());
    program->pass();
    EXPECT_EQ(GpsStatus::connected, program->gps.live.status.link);
    gpsd.hangUp();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (program->gps.live.status.link == GpsStatus::connected && std::chrono::steady_clock::now() < end) {
        program->gps.live.step(20);
        program->pass();
    }
    EXPECT_EQ(0u, program->notification.bgText.find("Lost gpsd at")) << program->notification.bgText;
}

// "No gpsd" is said only after an attempt failed, and only for an address
// the user chose; the hint where packages go is never replaced by it, and
// the empty package page names the folder too.
TEST_F(LiveProgram, NoGpsdIsSaidOnlyAfterAFailedAttemptAtTheUsersAddress)
{
    program = std::make_unique<Program>(testScreen(), testFonts(), &events, &clock);
    program->gps.start("127.0.0.1:" + gpsd.port, false);
    program->pass(); // before the first attempt ended
    program->gps.live.step(0);
    program->pass();
    EXPECT_EQ(GpsStatus::connected, program->gps.live.status.link);
    EXPECT_EQ(program->notification.bgText, "") << "gpsd answered";

    program.reset();
    std::filesystem::remove_all("maps/alpha");
    program = std::make_unique<Program>(testScreen(), testFonts(), &events, &clock);
    program->gps.start("", false); // the shipped address, wherever gpsd is
    for (int i = 0; i < 3; ++i) {
        program->gps.live.step(0);
        program->pass();
        EXPECT_EQ(0u, program->notification.bgText.find("Map packages go in /")) << program->notification.bgText;
    }
    clock.advance(10000);
    program->gps.live.step(0);
    program->pass();
    EXPECT_EQ(program->notification.bgText, "");
    const MenuPage& packages = program->menu.model.pages[static_cast<std::size_t>(program->pages.packageList)];
    ASSERT_EQ(packages.items.size(), 3u);
    EXPECT_EQ(packages.items[1].text, "Map packages go in");
    EXPECT_EQ(MapUI::mapsFolder().substr(MapUI::mapsFolder().size() - packages.items[2].text.size() + 1),
              packages.items[2].text.substr(1));
}

// A gpsd gone silent leaves the marker where it was, grey, and the state
// red; one flooding fixes is recorded at a bounded rate.
TEST_F(LiveProgram, ASilentGpsdGreysTheFixAndAFloodIsRecordedAtABoundedRate)
{
    std::string settings = readFile("tessel.conf");
    settings.replace(settings.find("record_track=no"), 15, "record_track=yes");
    writeFile("tessel.conf", settings);
    startWithGpsd();
    const LonLat here = under(160, 120);
    std::string flood;
    for (int i = 0; i < 200; ++i)
        flood += LoopbackGpsd::tpv(here.lat, here.lon, i);
    send(flood, 200);
    Uint8 r, g, b;
    pixelAt(testScreen(), 160, 120, &r, &g, &b);
    EXPECT_GT(b, r + 60) << "a fresh fix is blue";
    EXPECT_EQ(program->gps.live.stateText(&program->lang), "3D fix");
    const int due = LoopWait::msUntilDue(*program, clock.now);
    EXPECT_GE(due, 0) << "the loop wakes to grey the fix";
    EXPECT_LE(due, static_cast<int>(LivePosition::staleMs));
    clock.advance(LivePosition::staleMs);
    program->gps.live.step(0);
    program->pass();
    EXPECT_TRUE(program->gps.live.stale);
    pixelAt(testScreen(), 160, 120, &r, &g, &b);
    EXPECT_NEAR(r, b, 10) << "a silent fix stays, grey";
    EXPECT_EQ(program->gps.live.stateText(&program->lang), "No fix");
    send(LoopbackGpsd::tpv(here.lat, here.lon, 300), 201);
    EXPECT_FALSE(program->gps.live.stale);
    const unsigned long points = program->gps.live.recordingLine.files[0].data.points();
    EXPECT_LE(points, TrackRecorder::burst + 1 + LivePosition::staleMs / 1000 * TrackRecorder::maxPerSecond);
    EXPECT_GE(points, TrackRecorder::burst);
}

// The accuracy circle tints only while small; a large one is outlined, one
// larger than the screen (gpsd after a tunnel) not drawn.
TEST_F(LiveProgram, ALargeAccuracyCircleIsOutlinedAndAHugeOneLeftOut)
{
    start("off");
    int z = 0;
    ASSERT_TRUE(program->map.mercatorLevel(&z));
    const LonLat here = under(160, 120);
    Fix fix;
    fix.mode = FixMode::threeD;
    fix.lat = here.lat;
    fix.lon = here.lon;
    const double metres = Mercator::metresPerPixel(here.lat, z);
    int lit[3];
    for (int i : {0, 1, 2}) {
        fix.accuracy = metres * (i == 0 ? 30 : i == 1 ? 100 : 1000);
        PositionMarker::Look look;
        ASSERT_TRUE(PositionMarker::look(fix, program->map, &look));
        SDL_Surface* screen = blankScreen();
        PositionMarker marker;
        marker.draw(screen, look);
        lit[i] = pixelsDifferentFrom(screen, SDL_Rect{0, 0, 320, 240}, 0, 0, 0);
        SDL_FreeSurface(screen);
    }
    EXPECT_GT(lit[0], 2000) << "a small disc tints";
    EXPECT_LT(lit[1], 1500) << "a large one is a ring";
    EXPECT_GT(lit[1], 500);
    EXPECT_LT(lit[2], 500) << "only the dot";
}

TEST_F(LiveProgram, RecordingMakesAMissingTracksFolder)
{
    std::string settings = readFile("tessel.conf");
    settings.replace(settings.find("record_track=no"), 15, "record_track=yes");
    writeFile("tessel.conf", settings);
    std::filesystem::remove_all("tracks");
    startWithGpsd();
    const LonLat here = under(160, 120);
    send(LoopbackGpsd::tpv(here.lat, here.lon, 0), 1);
    send(LoopbackGpsd::tpv(here.lat, here.lon, 1), 2);
    EXPECT_EQ(program->notification.bgText.find("Recording stopped"), std::string::npos) << program->notification.bgText;
    EXPECT_TRUE(program->gps.live.status.recording);
    EXPECT_TRUE(fileExists("tracks/recorded-20261207-181000.gpx"));
}

TEST_F(LiveProgram, ARecordingThatCannotBeWrittenStopsWithANotice)
{
    std::string settings = readFile("tessel.conf");
    settings.replace(settings.find("record_track=no"), 15, "record_track=yes");
    writeFile("tessel.conf", settings);
    std::filesystem::remove_all("tracks");
    writeFile("tracks", ""); // a file where the folder should be
    startWithGpsd();
    const LonLat here = under(160, 120);
    send(LoopbackGpsd::tpv(here.lat, here.lon, 0), 1);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (program->notification.bgText.find("Recording stopped:") != 0 && std::chrono::steady_clock::now() < end) {
        program->gps.live.step(20);
        program->pass();
    }
    EXPECT_EQ(0u, program->notification.bgText.find("Recording stopped:")) << program->notification.bgText;
    EXPECT_FALSE(program->gps.live.recording());
    expectOnScreenAt(here, 160, 120);
}

// A fix is presented only when it shows: the marker a pixel on, the arrow
// a visible step round, the disc a pixel wider.
TEST_F(LiveProgram, AFixThatChangesNoPixelPresentsNothing)
{
    writeFile("tessel.conf", "show_position=no\n");
    startWithGpsd();
    const LonLat at = under(200, 150);
    const auto moving = [](int course) { return ",\"speed\":2,\"track\":" + std::to_string(course); };
    send(LoopbackGpsd::tpv(at.lat, at.lon, 0, 8, moving(90)), 1);
    passes(2);
    int shown = 0;
    program->showBox = [&shown](const SDL_Rect&) { ++shown; };
    const unsigned long filled = program->map.pipeline.cellsFilled;
    send(LoopbackGpsd::tpv(at.lat, at.lon + 1e-8, 1, 8, moving(91)), 2);
    send(LoopbackGpsd::tpv(at.lat, at.lon, 2, 8.01, moving(89)), 3);
    EXPECT_EQ(shown, 0) << "a hair's breadth, a degree, a centimetre of accuracy";
    EXPECT_EQ(program->map.pipeline.cellsFilled, filled) << "the followed view stays: its cells are left alone";
    send(LoopbackGpsd::tpv(at.lat, at.lon, 3, 8, moving(97)), 4);
    EXPECT_EQ(shown, 1) << "the arrow turned a step";

    program->gps.live.follow.following = false;
    passes(1); // the mark that following is off is drawn
    SDL_Rect box{0, 0, 0, 0};
    int moved = 0;
    program->showBox = [&moved, &box](const SDL_Rect& b) {
        ++moved;
        box = b;
    };
    const LonLat aside = under(100, 80);
    send(LoopbackGpsd::tpv(aside.lat, aside.lon, 4, 8, moving(97)), 5);
    EXPECT_EQ(moved, 1) << "the marker moved on a map that stays";
    EXPECT_LT(box.w * box.h, 320 * 240 / 4) << "its old and new places, not the whole view";
}
