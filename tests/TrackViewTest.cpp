// Bringing a whole track into view: the level that shows all of it, and
// the Tracks page lines that go there and to its figures.
#include "FiguresPanel.h"
#include "Mercator.h"
#include "Packages.h"
#include "TestSupport.h"
#include "TrackFit.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

LonLat at(double x, double y, int z)
{
    LonLat p;
    Mercator::toLonLat(x, y, z, &p.lon, &p.lat);
    return p;
}

// The program with the sample package open and the tracks read.
struct Session {
    FakeClock clock;
    ScriptedEvents events;
    Program program{testScreen(), testFonts(), &events, &clock};

    Session()
    {
        program.map.pipeline.setMode(TilePipeline::Mode::synchronous);
        program.tracksMode = TilePipeline::Mode::synchronous;
        EXPECT_TRUE(program.mapUI.loadPackage(0));
        program.pass();
    }
    void press(SDLKey key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            events.key(key);
        while (!events.queue.empty())
            program.pass();
    }
    // Line `line` of the Tracks page, chosen with the keys.
    void choose(int line)
    {
        program.menu.model.switchMenu(program.trackPage.page);
        program.menu.visible = true;
        const MenuPage& shown = program.menu.model.pages[static_cast<std::size_t>(program.trackPage.page)];
        ASSERT_EQ(shown.items.size(), 4u) << "the file's three lines and the recording's";
        press(SDLK_DOWN, (line - shown.selected + shown.size()) % shown.size());
        press(SDLK_RETURN);
    }
};

} // namespace

TEST(TrackFit, TheDeepestLevelAtWhichTheBoxFits)
{
    GpxData data;
    data.lines.push_back({at(1000, 2000, 12), at(1290, 2100, 12)});
    data.waypoints.push_back(Waypoint{at(1100, 2200, 12), "hut"});
    TrackFit::View view;
    ASSERT_TRUE(TrackFit::fit(data, 320, 240, 8, &view));
    EXPECT_EQ(view.z, 12); // 290 × 200 fits 304 × 224
    double x, y;
    Mercator::toPixel(view.lon, view.lat, 12, &x, &y);
    EXPECT_NEAR(x, 1145, 1e-6);
    EXPECT_NEAR(y, 2100, 1e-6);
    ASSERT_TRUE(TrackFit::fit(data, 320, 240, 20, &view));
    EXPECT_EQ(view.z, 11); // 290 is more than 280
    data.lines.clear();
    ASSERT_TRUE(TrackFit::fit(data, 320, 240, 8, &view));
    EXPECT_EQ(view.z, -1) << "one point: any level shows it";
    data.waypoints.clear();
    EXPECT_FALSE(TrackFit::fit(data, 320, 240, 8, &view));
}

TEST(TrackFit, TheTracksPageLineBringsTheWholeFileIntoView)
{
    TempDir dir;
    dir.layRunDir();
    writeSamplePackage("maps/alpha/", "Alpha", false);
    // 400 × 140 world pixels at level 7: too wide there, whole at level 6.
    const LonLat a = at(400, 380, 7), b = at(800, 520, 7);
    char walk[300];
    std::snprintf(walk, sizeof walk, "<gpx><trk><trkseg><trkpt lat='%.9f' lon='%.9f'/><trkpt lat='%.9f' lon='%.9f'/>"
                  "</trkseg></trk></gpx>", a.lat, a.lon, b.lat, b.lon);
    writeFile("tracks/walk.gpx", walk);
    Session session;
    Program& program = session.program;
    int z = -1;
    ASSERT_TRUE(program.map.mercatorLevel(&z));
    ASSERT_EQ(z, 7);
    session.choose(1);
    EXPECT_FALSE(program.menu.visible);
    ASSERT_TRUE(program.map.mercatorLevel(&z));
    EXPECT_EQ(z, 6);
    double x, y;
    program.map.worldPixel(160, 120, &x, &y);
    EXPECT_NEAR(x, 300, 1);
    EXPECT_NEAR(y, 225, 1);
}

// The figures line of the Tracks page: a walk of 1 km due north, 100 m up
// at an even slope in 10 minutes, its values and profile on the panel, the
// cursor moved by Right and its point marked on the map.
TEST(TrackFit, TheFiguresPageShowsAWalkAndFollowsTheCursor)
{
    TempDir dir;
    dir.layRunDir();
    writeSamplePackage("maps/alpha/", "Alpha", false);
    const LonLat start = at(600, 450, 7);
    std::string walk = "<gpx><trk><name>Up</name><trkseg>";
    for (int i = 0; i <= 10; ++i) {
        char point[200];
        std::snprintf(point, sizeof point, "<trkpt lat='%.9f' lon='%.9f'><ele>%d</ele><time>2024-05-01T10:%02d:00Z</time></trkpt>",
                      start.lat + i * 100 / (6371008.8 * M_PI / 180), start.lon, 500 + 10 * i, i);
        walk += point;
    }
    writeFile("tracks/walk.gpx", walk + "</trkseg></trk></gpx>");
    Session session;
    Program& program = session.program;
    session.choose(2);
    const FiguresPage& page = program.figures.page;
    ASSERT_TRUE(page.isOpen());
    EXPECT_FALSE(program.menu.visible);
    EXPECT_NEAR(page.summary.distance, 1000, 0.5);
    EXPECT_NEAR(page.summary.ascent, 100, 1e-3);
    EXPECT_EQ(page.summary.descent, 0);
    EXPECT_EQ(FiguresPanel::distance(page.summary.distance), "1.00 km");
    EXPECT_EQ(FiguresPanel::clock(page.summary.duration), "0:10:00");
    EXPECT_EQ(FiguresPanel::speed(page.summary.averageSpeed), "6.0 km/h");
    EXPECT_EQ(FiguresPanel::height(page.summary.highest), "600 m");

    // The profile rises from left to right: ground under the top right only.
    SDL_Surface* screen = program.screen;
    const auto pixel = [&](int x, int y) {
        return static_cast<const Uint16*>(screen->pixels)[y * screen->pitch / 2 + x];
    };
    const Uint16 ground = static_cast<Uint16>(SDL_MapRGB(screen->format, 120, 150, 90));
    const Uint16 red = static_cast<Uint16>(SDL_MapRGB(screen->format, 230, 0, 0));
    const SDL_Rect& p = FiguresPanel::profile;
    EXPECT_EQ(pixel(p.x + p.w - 2, p.y + 2), ground);
    EXPECT_NE(pixel(p.x + 2, p.y + 2), ground);
    EXPECT_EQ(pixel(p.x + 2, p.y + p.h - 1), ground);

    // Right: the cursor and the marker move north along the walk.
    const SDL_Rect before = program.figures.markerBox();
    ASSERT_GT(before.w, 0);
    EXPECT_EQ(pixel(before.x + 4, before.y + 4), red);
    session.press(SDLK_RIGHT, 140);
    EXPECT_EQ(page.cursor(), 140);
    EXPECT_NEAR(page.distanceAtCursor(), 500, 10);
    const SDL_Rect after = program.figures.markerBox();
    double x, y;
    LonLat marked;
    ASSERT_TRUE(page.markerAt(&marked));
    EXPECT_NEAR(marked.lat, start.lat + 500 / (6371008.8 * M_PI / 180), 1e-4);
    ASSERT_TRUE(program.map.toScreen(marked, &x, &y));
    EXPECT_NEAR(after.x + 4, x, 1);
    EXPECT_EQ(pixel(after.x + 4, after.y + 4), red);
    EXPECT_NE(after.y, before.y);

    // Escape: back to the Tracks page.
    session.press(SDLK_ESCAPE);
    EXPECT_FALSE(page.isOpen());
    EXPECT_TRUE(program.menu.visible);
    EXPECT_EQ(program.menu.model.current, program.trackPage.page);
}
