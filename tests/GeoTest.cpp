// Web Mercator positions, the scale bar, and what the viewer shows.
#include "Gpx.h"
#include "Map.h"
#include "Mercator.h"
#include "Packages.h"
#include "PositionOverlay.h"
#include "Program.h"
#include "TestSupport.h"
#include "RecordingText.h"
#include "TrackRecorder.h"
#include "TrackReader.h"
#include "Tracks.h"

#include <cmath>
#include <gtest/gtest.h>
#include <thread>
#include <sys/stat.h>

TEST(MercatorTest, KnownPlacesAndRoundTrips)
{
    double lon, lat;
    Mercator::toLonLat(256, 256, 1, &lon, &lat); // the world's centre
    EXPECT_NEAR(lon, 0, 1e-12);
    EXPECT_NEAR(lat, 0, 1e-12);
    Mercator::toLonLat(0, 0, 5, &lon, &lat);
    EXPECT_NEAR(lon, -180, 1e-12);
    EXPECT_NEAR(lat, 85.0511287798, 1e-9);
    Mercator::toLonLat(512, 256, 2, &lon, &lat); // corner of tile 2/2/1
    EXPECT_NEAR(lon, 0, 1e-12);
    EXPECT_NEAR(lat, 66.51326044311186, 1e-9);
    // Prague's Old Town Square lies in tile 12/2212/1387 of the usual tile
    // servers; at level 17, there and back within a metre.
    double x, y;
    Mercator::toPixel(14.42076, 50.08712, 12, &x, &y);
    EXPECT_EQ(static_cast<int>(x / 256), 2212);
    EXPECT_EQ(static_cast<int>(y / 256), 1387);
    Mercator::toPixel(14.42076, 50.08712, 17, &x, &y);
    Mercator::toLonLat(x, y, 17, &lon, &lat);
    const double metre = 1 / 111320.0;
    EXPECT_NEAR(lon, 14.42076, metre);
    EXPECT_NEAR(lat, 50.08712, metre);
    EXPECT_EQ(Mercator::formatLonLat(14.42076, 50.08712), "50.08712\xC2\xB0 N 14.42076\xC2\xB0 E");
    EXPECT_EQ(Mercator::formatLonLat(-70.5, -33.25), "33.25000\xC2\xB0 S 70.50000\xC2\xB0 W");
}

TEST(MercatorTest, ScaleBarAtTheEquatorAndAt60North)
{
    EXPECT_NEAR(Mercator::metresPerPixel(0, 0), 156543.034, 0.001);
    Mercator::ScaleBar bar = Mercator::scaleBar(Mercator::metresPerPixel(0, 10), 100); // 152.9 m/px
    EXPECT_EQ(bar.label, "15 km");
    EXPECT_EQ(bar.pixels, 98);
    bar = Mercator::scaleBar(Mercator::metresPerPixel(60, 10), 100); // half as many metres
    EXPECT_EQ(bar.label, "6 km");
    EXPECT_EQ(bar.pixels, 78);
    bar = Mercator::scaleBar(Mercator::metresPerPixel(50, 17), 100);
    EXPECT_EQ(bar.label, "60 m");
    for (double perPixel = 0.01; perPixel < 1e5; perPixel *= 1.37) {
        bar = Mercator::scaleBar(perPixel, 100);
        EXPECT_GE(bar.pixels, 66) << perPixel;
        EXPECT_LE(bar.pixels, 100) << perPixel;
    }
}

TEST(PositionOverlayTest, ShowsTheCentreOfGoogleNumberedPackagesOnly)
{
    TempDir dir;
    writeMissingTileImage("media/na.png");
    writeSamplePackage("maps/a/", "A", false); // level 10 = Web Mercator level 7, tiles (0..5, 0..3)
    Map map;
    ASSERT_TRUE(map.create(testScreen(), "maps/a/map.conf"));
    std::string position, label;
    int pixels = 0;
    ASSERT_TRUE(PositionOverlay::describe(map, &position, &pixels, &label));
    // Grid origin (1, 1), view at (100, 50): the centre is world pixel
    // (256 + 260, 256 + 170) at level 7.
    double lon, lat;
    Mercator::toLonLat(516, 426, 7, &lon, &lat);
    EXPECT_EQ(position, Mercator::formatLonLat(lon, lat));
    EXPECT_GT(pixels, 60);

    // Numbered off the planet: neither a place nor a scale.
    writeSamplePackage("maps/far/", "Far", false);
    std::string conf = readFile("maps/far/map.conf");
    conf.replace(conf.find("begin_x=0"), 9, "begin_x=9000");
    conf.replace(conf.find("end_x=6"), 7, "end_x=9006");
    conf.replace(conf.find("pos_x=1"), 7, "pos_x=9001");
    writeFile("maps/far/map.conf", conf);
    ASSERT_TRUE(map.create(testScreen(), "maps/far/map.conf"));
    EXPECT_FALSE(PositionOverlay::describe(map, &position, &pixels, &label)) << position << " " << label;

    mkdir("maps/s", 0755);
    writeFile("maps/s/map.conf", "api=seznam\npacked=no\ntype=base\nzoom=13\nzoom_actual=13\n"
                                 "begin_x=8000000\nbegin_y=8000000\nend_x=8010000\nend_y=8010000\n");
    ASSERT_TRUE(map.create(testScreen(), "maps/s/map.conf"));
    EXPECT_FALSE(PositionOverlay::describe(map, &position, &pixels, &label)) << "Seznam's plane is not Web Mercator";
}

TEST(GpxTest, ReadsTracksRoutesAndWaypointsOfBothVersions)
{
    GpxData data;
    std::string problem;
    ASSERT_TRUE(Gpx::parse(R"(<?xml version="1.0"?>
<gpx version="1.1" creator="t" xmlns="http://www.topografix.com/GPX/1/1">
 <metadata><name>Hike</name></metadata>
 <wpt lat="50.1" lon="14.4"><name>Hut</name></wpt>
 <trk><name>day one</name><trkseg><trkpt lat="50" lon="14"/><trkpt lat="50.01" lon="14.01"/></trkseg>
      <trkseg><trkpt lat="50.02" lon="14.02"/></trkseg></trk>
 <rte><rtept lat="49" lon="13"/><rtept lat="49.5" lon="13.5"/><rtept lat="49.9" lon="13.9"/></rte>
</gpx>)", &data, &problem)) << problem;
    EXPECT_EQ(data.name, "Hike");
    ASSERT_EQ(data.lines.size(), 3u);
    EXPECT_EQ(data.lines[0].size(), 2u);
    EXPECT_EQ(data.lines[2].size(), 3u) << "the route";
    ASSERT_EQ(data.waypoints.size(), 1u);
    EXPECT_EQ(data.waypoints[0].name, "Hut");
    EXPECT_DOUBLE_EQ(data.waypoints[0].at.lon, 14.4);

    GpxData old;
    ASSERT_TRUE(Gpx::parse(R"(<gpx version="1.0" xmlns="http://www.topografix.com/GPX/1/0"><name>Old</name>
<trk><trkseg><trkpt lat="1" lon="2"></trkpt></trkseg></trk></gpx>)", &old, &problem));
    EXPECT_EQ(old.name, "Old");
    EXPECT_EQ(old.points(), 1u);
}

TEST(GpxTest, DamagedFilesKeepTheirGoodPart)
{
    GpxData data;
    std::string problem;
    EXPECT_FALSE(Gpx::parse(R"(<gpx><trk><trkseg><trkpt lat="1" lon="2"/><trkpt lat="1.5" lon="2.5"/><trkpt lat="oops)",
                            &data, &problem));
    EXPECT_NE(problem.find("damaged at line 1"), std::string::npos) << problem;
    EXPECT_EQ(data.points(), 2u);

    GpxData range;
    EXPECT_FALSE(Gpx::parse(R"(<gpx><wpt lat="91" lon="0"/><wpt lat="1" lon="-181"/><wpt lat="x" lon="1"/><wpt lat="1" lon="1"/></gpx>)",
                            &range, &problem));
    EXPECT_EQ(range.waypoints.size(), 1u);
    EXPECT_NE(problem.find("3 points"), std::string::npos) << problem;

    GpxData none;
    EXPECT_FALSE(Gpx::parse("not xml at all", &none, &problem));
    EXPECT_FALSE(Gpx::read("/no/such/file.gpx", &none, &problem));
}

TEST(TracksTest, ALineAlongALatitudeIsDrawnOnItsRowAndCrossingTheDateLineIsCut)
{
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
    fill(screen, 0, 0, 0);
    Tracks tracks;
    Tracks::File file;
    file.data.lines.push_back({{-10, 45}, {10, 45}});
    // Across the date line: two short pieces, never a line around the world.
    file.data.lines.push_back({{179, -30}, {-179, -30}});
    tracks.add(file);
    // Level 3: 2048 pixels; the view's top-left at world pixel (864, 600).
    double x, y;
    Mercator::toPixel(0, 45, 3, &x, &y);
    const int row = static_cast<int>(std::lround(y)) - 600;
    tracks.draw(screen, 3, 864, 600, nullptr, false);
    int lit = 0;
    for (int sx = 0; sx < 320; ++sx)
        lit += pixelsDifferentFrom(screen, SDL_Rect{static_cast<Sint16>(sx), static_cast<Sint16>(row), 1, 1}, 0, 0, 0);
    const int leftEnd = static_cast<int>(std::lround((-10 + 180) / 360.0 * 2048)) - 864;
    const int rightEnd = static_cast<int>(std::lround((10 + 180) / 360.0 * 2048)) - 864;
    EXPECT_GE(lit, rightEnd - leftEnd) << "row " << row;
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, static_cast<Sint16>(row + 3), 320, 20}, 0, 0, 0), 0);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, static_cast<Sint16>(row - 20), 320, 19}, 0, 0, 0), 0);

    // Seen from the date line: the two ends, nothing between them.
    fill(screen, 0, 0, 0);
    Mercator::toPixel(179, -30, 3, &x, &y);
    tracks.draw(screen, 3, 2048 - 160, y - 120, nullptr, false);
    EXPECT_GT(pixelsDifferentFrom(screen, SDL_Rect{150, 118, 10, 4}, 0, 0, 0), 0);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 140, 240}, 0, 0, 0), 0) << "no line back around the world";
    SDL_FreeSurface(screen);
}

TEST(TracksTest, TheProgramReadsTracksAndNamesADamagedFile)
{
    TempDir dir;
    dir.layRunDir();
    writeSamplePackage("maps/alpha/", "Alpha", false);
    // A walk across the sample package's view at level 7: world pixels
    // (300, 400) to (700, 420); the view shows (356..676, 306..546).
    double lon0, lat0, lon1, lat1;
    Mercator::toLonLat(300, 400, 7, &lon0, &lat0);
    Mercator::toLonLat(700, 420, 7, &lon1, &lat1);
    char walk[256];
    std::snprintf(walk, sizeof walk, "<gpx><trk><trkseg><trkpt lat='%.9f' lon='%.9f'/><trkpt lat='%.9f' lon='%.9f'/>"
                  "</trkseg></trk></gpx>", lat0, lon0, lat1, lon1);
    writeFile("tracks/walk.gpx", walk);
    writeFile("tracks/broken.GPX", "<gpx><trk><trkseg><trkpt lat='1' lon='1'/><trkpt lat='2' lon='2'/><trkp");
    writeFile("tracks/notes.txt", "not a track");
    FakeClock clock;
    ScriptedEvents events;
    Program program(testScreen(), testFonts(), &events, &clock);
    program.tracksMode = TilePipeline::Mode::synchronous;
    program.pass();
    ASSERT_EQ(program.tracks.files.size(), 2u);
    EXPECT_EQ(program.tracks.files[0].name, "broken");
    EXPECT_EQ(program.tracks.files[1].name, "walk");
    EXPECT_NE(program.notification.bgText.find("broken.GPX"), std::string::npos) << program.notification.bgText;
    program.map.pipeline.setMode(TilePipeline::Mode::synchronous);
    ASSERT_TRUE(program.mapUI.loadPackage(0));
    program.pass();
    const SDL_Color c = program.tracks.files[1].colour;
    int found = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            Uint8 r, g, b;
            pixelAt(testScreen(), x, y, &r, &g, &b);
            found += (r >> 3) == (c.r >> 3) && (g >> 2) == (c.g >> 2) && (b >> 3) == (c.b >> 3);
        }
    EXPECT_GT(found, 2 * 320 - 20) << "a line two pixels wide across the screen";
}

// A recording cut by a crash is closed at start-up, and the user is told.
TEST(TracksTest, ACutRecordingIsClosedAtStartAndNamedOnScreen)
{
    TempDir dir;
    dir.layRunDir();
    Fix fix;
    fix.mode = FixMode::threeD;
    fix.lat = 50;
    fix.lon = 14;
    fix.time = 1.8e9;
    writeFile("tracks/recorded-20270115-080000.gpx", RecordingText::header() + RecordingText::point(fix) + "<trkpt la");
    writeSamplePackage("maps/alpha/", "Alpha", false);
    FakeClock clock;
    ScriptedEvents events;
    Program program(testScreen(), testFonts(), &events, &clock);
    EXPECT_NE(program.notification.bgText.find("recorded-20270115-080000.gpx"), std::string::npos)
        << program.notification.bgText;
    EXPECT_TRUE(RecordingText::closed(readFile("tracks/recorded-20270115-080000.gpx")));
}

// What a hostile tracks/ holds under a recording's name is neither waited
// on nor read whole: a FIFO, a link to an endless device, a link to a file
// elsewhere (left as it is), beside a cut recording that is closed.
TEST(TracksTest, StartUpRepairPassesFifosAndDevicesBy)
{
    TempDir dir;
    dir.layRunDir();
    ASSERT_EQ(0, mkfifo("tracks/recorded-20270115-090000.gpx", 0644));
    ASSERT_EQ(0, symlink("/dev/zero", "tracks/recorded-20270115-100000.gpx"));
    writeFile("elsewhere.gpx", RecordingText::header() + "<trkpt lat=\"1\" lon=\"2\"></trkpt>\n<trk");
    ASSERT_EQ(0, symlink("../elsewhere.gpx", "tracks/recorded-20270115-110000.gpx"));
    Fix fix;
    fix.mode = FixMode::threeD;
    fix.lat = 50;
    fix.lon = 14;
    fix.time = 1.8e9;
    std::string cut = RecordingText::header();
    for (int i = 0; i < 5000; ++i) // longer than the part read at its end
        cut += RecordingText::point(fix);
    writeFile("tracks/recorded-20270115-080000.gpx", cut + std::string(5000, '\0'));
    std::vector<std::string> repaired;
    endsWithin(20, "the repair", [&] { repaired = TrackRecorder::repairAll("tracks"); });
    EXPECT_EQ(repaired, std::vector<std::string>{"recorded-20270115-080000.gpx"});
    EXPECT_EQ(readFile("tracks/recorded-20270115-080000.gpx"), cut + RecordingText::closing);
    EXPECT_EQ(readFile("elsewhere.gpx").find(RecordingText::closing), std::string::npos);
    FakeClock clock;
    ScriptedEvents events;
    endsWithin(20, "the start", [&] {
        Program program(testScreen(), testFonts(), &events, &clock);
        program.tracksMode = TilePipeline::Mode::synchronous;
        program.pass();
        EXPECT_EQ(2u, program.tracks.files.size()) << "the recording, and the file linked from elsewhere";
    });
}

TEST(TracksTest, TheTracksPageHidesAFileAndCentresOnItsStart)
{
    TempDir dir;
    dir.layRunDir();
    writeSamplePackage("maps/alpha/", "Alpha", false);
    double lon, lat;
    Mercator::toLonLat(600, 450, 7, &lon, &lat); // inside the sample package's area
    char walk[200];
    std::snprintf(walk, sizeof walk, "<gpx><wpt lat='%.9f' lon='%.9f'><name>Start</name></wpt></gpx>", lat, lon);
    writeFile("tracks/walk.gpx", walk);
    FakeClock clock;
    ScriptedEvents events;
    {
        Program program(testScreen(), testFonts(), &events, &clock);
        program.map.pipeline.setMode(TilePipeline::Mode::synchronous);
        program.tracksMode = TilePipeline::Mode::synchronous;
        ASSERT_TRUE(program.mapUI.loadPackage(0));
        program.pass();
        ASSERT_NE(program.trackPage.page, -1);
        const auto& lines = program.menu.model.pages[static_cast<std::size_t>(program.trackPage.page)].items;
        ASSERT_EQ(lines.size(), 4u) << "the file's three lines and the recording's";
        EXPECT_EQ(lines[0].text, "walk");
        EXPECT_EQ(lines[0].value, "Yes");
        // Centre on the start, then hide the file.
        const auto choose = [&](int line) {
            program.menu.model.switchMenu(program.trackPage.page);
            program.menu.visible = true;
            const MenuPage& shown = program.menu.model.pages[static_cast<std::size_t>(program.trackPage.page)];
            for (int i = 0; i < (line - shown.selected + shown.size()) % shown.size(); ++i)
                events.key(SDLK_DOWN);
            events.key(SDLK_RETURN);
            while (!events.queue.empty())
                program.pass();
        };
        choose(1);
        EXPECT_FALSE(program.menu.visible) << "the map shows the start";
        double x, y;
        program.map.worldPixel(160, 120, &x, &y);
        EXPECT_NEAR(x, 600, 1);
        EXPECT_NEAR(y, 450, 1);
        choose(0);
        EXPECT_FALSE(program.tracks.files[0].shown);
        EXPECT_EQ(lines[0].value, "No");
    }
    std::string hidden;
    ConfParser("tessel.conf", 1).stringValue("tracks_hidden", &hidden);
    EXPECT_EQ(hidden, "walk.gpx");
    Program again(testScreen(), testFonts(), &events, &clock);
    again.tracksMode = TilePipeline::Mode::synchronous;
    again.pass();
    ASSERT_EQ(again.tracks.files.size(), 1u);
    EXPECT_FALSE(again.tracks.files[0].shown) << "the choice is kept";
}

// Tracks are read off the frame: passes draw while a large hostile file
// waits, files join the map and the page as each is read.
TEST(TracksTest, TracksAreReadOffTheFrameAndJoinAsTheyFinish)
{
    TempDir dir;
    dir.layRunDir();
    writeSamplePackage("maps/alpha/", "Alpha", false);
    std::string deep = "<gpx>";
    for (int i = 0; i < 300000; ++i)
        deep += "<gpx>";
    writeFile("tracks/a-deep.gpx", deep);
    writeFile("tracks/walk.gpx", "<gpx><wpt lat='1' lon='1'><name>W</name></wpt></gpx>");
    FakeClock clock;
    ScriptedEvents events;
    Program program(testScreen(), testFonts(), &events, &clock);
    program.map.pipeline.setMode(TilePipeline::Mode::synchronous);
    program.tracksMode = TilePipeline::Mode::manual;
    ASSERT_TRUE(program.mapUI.loadPackage(0));
    program.pass();
    EXPECT_TRUE(program.tracks.files.empty()) << "the pass did not wait for the files";
    EXPECT_NE(program.notification.bgText.find("a-deep.gpx"), std::string::npos) << program.notification.bgText;
    ASSERT_TRUE(program.trackReader.step());
    program.pass();
    EXPECT_TRUE(program.tracks.files.empty());
    EXPECT_NE(program.notification.bgText.find("nested deeper"), std::string::npos) << program.notification.bgText;
    ASSERT_TRUE(program.trackReader.step());
    EXPECT_FALSE(program.trackReader.step());
    program.pass();
    ASSERT_EQ(program.tracks.files.size(), 1u);
    const auto& lines = program.menu.model.pages[static_cast<std::size_t>(program.trackPage.page)].items;
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "walk");

    // On its own thread: polled, never slept for.
    TrackReader reader;
    reader.read({"tracks/walk.gpx"}, true);
    std::vector<TrackReader::Result> read;
    for (long i = 0; i < 100000000 && read.empty(); ++i) {
        read = reader.take();
        std::this_thread::yield();
    }
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].file.data.points(), 1u);
}
