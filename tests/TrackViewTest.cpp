// Bringing a whole track into view: the level that shows all of it, and
// the Tracks page line that goes there.
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
    FakeClock clock;
    ScriptedEvents events;
    Program program(testScreen(), testFonts(), &events, &clock);
    program.map.pipeline.setMode(TilePipeline::Mode::synchronous);
    program.tracksMode = TilePipeline::Mode::synchronous;
    ASSERT_TRUE(program.mapUI.loadPackage(0));
    program.pass();
    int z = -1;
    ASSERT_TRUE(program.map.mercatorLevel(&z));
    ASSERT_EQ(z, 7);
    program.menu.model.switchMenu(program.trackPage.page);
    program.menu.visible = true;
    const MenuPage& shown = program.menu.model.pages[static_cast<std::size_t>(program.trackPage.page)];
    ASSERT_EQ(shown.items.size(), 3u) << "the file's two lines and the recording's";
    for (int i = 0; i < (1 - shown.selected + shown.size()) % shown.size(); ++i)
        events.key(SDLK_DOWN);
    events.key(SDLK_RETURN);
    while (!events.queue.empty())
        program.pass();
    EXPECT_FALSE(program.menu.visible);
    ASSERT_TRUE(program.map.mercatorLevel(&z));
    EXPECT_EQ(z, 6);
    double x, y;
    program.map.worldPixel(160, 120, &x, &y);
    EXPECT_NEAR(x, 300, 1);
    EXPECT_NEAR(y, 225, 1);
}
