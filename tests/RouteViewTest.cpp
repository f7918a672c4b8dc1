// Routes in the viewer, a whole session through the program: the ends
// chosen on the route page, the worker stepped by the test, the line drawn,
// the turns listed, Escape, the reasons for no route, saving, following.
#include "Archives.h"
#include "Gpx.h"
#include "Packages.h"
#include "RoutingData.h"
#include "TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace {

const double fromLat = 43.7400, fromLon = 7.4270, toLat = 43.7285, toLon = 7.4140;

// Monaco's routing data beside a raster archive of 5 x 5 test tiles at
// level 15 over both ends.
bool layMonaco(const TempDir& temp)
{
    const std::string data = routingData("monaco");
    if (data.empty() || std::system(("mkdir -p maps && ln -s " + data + " maps/monaco.routes").c_str()) != 0)
        return false;
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    for (int x = 17057; x <= 17061; ++x)
        for (int y = 11946; y <= 11950; ++y)
            tiles.emplace_back(15, x, (1 << 15) - 1 - y, tilePng((x - 17057) + 5 * (y - 11946)));
    writeMBTiles(temp.path("maps/monaco.mbtiles"), tiles, {{"name", "Monaco"}, {"format", "png"}});
    return true;
}

void choose(Program& program, int page, int line)
{
    program.menu.model.switchMenu(page);
    program.menu.visible = true;
    Intent intent;
    intent.kind = Intent::menuChoice;
    intent.value = line;
    program.commands.perform(intent);
    program.pass();
}

std::string text(Program& program, const char* id)
{
    return program.lang.value(id);
}

// Pixels within 2 of (x, y) in the route's fill colour.
int routePixelsNear(SDL_Surface* screen, int x, int y)
{
    int found = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            Uint8 r, g, b;
            pixelAt(screen, x + dx, y + dy, &r, &g, &b);
            found += r > 240 && g > 200 && g < 230 && b < 16 ? 1 : 0;
        }
    return found;
}

void fix(Program& program, double lat, double lon)
{
    GpsStatus& status = program.gps.live.status;
    status.fix.mode = FixMode::threeD;
    status.fix.lat = lat;
    status.fix.lon = lon;
    ++status.reports;
    program.pass();
}

} // namespace

// The program over Monaco, the route worker stepped by the test.
class RouteView : public ::testing::Test {
protected:
    void SetUp() override
    {
        temp.layRunDir();
        if (!layMonaco(temp))
            GTEST_SKIP() << "no monaco.osm.pbf beside the project, no planetsplitter, or a big-endian machine";
        made = std::make_unique<Program>(testScreen(), testFonts(), &events, &clock);
        made->map.pipeline.setMode(TilePipeline::Mode::synchronous);
        made->route.threaded = false;
        ASSERT_TRUE(made->mapUI.loadPackage(0));
        made->pass();
    }

    TempDir temp;
    FakeClock clock;
    ScriptedEvents events;
    std::unique_ptr<Program> made;
};

TEST_F(RouteView, AskedDrawnListedSavedAndCancelled)
{
    Program& program = *made;
    const RoutePage& page = program.route.page;

    // No live fix and no start chosen: said, nothing asked.
    ASSERT_TRUE(program.map.centreOn(toLon, toLat));
    choose(program, page.page, RoutePage::go);
    EXPECT_EQ(program.notification.bgText, text(program, "route_no_start"));
    EXPECT_FALSE(program.route.computing());

    ASSERT_TRUE(program.map.centreOn(fromLon, fromLat));
    choose(program, page.page, RoutePage::startHere);
    ASSERT_TRUE(program.map.centreOn(toLon, toLat));
    choose(program, page.page, RoutePage::go);
    EXPECT_TRUE(program.route.computing());
    EXPECT_FALSE(program.menu.visible);
    EXPECT_EQ(program.route.banner.text.find("Computing"), 0u);

    // Escape cancels: nothing is computed, the key does not reach the map.
    events.key(SDLK_ESCAPE);
    program.pass();
    EXPECT_FALSE(program.route.computing());
    EXPECT_EQ(program.notification.bgText, text(program, "route_cancelled"));
    EXPECT_FALSE(program.route.worker.step());
    EXPECT_TRUE(program.toolBar.visible);

    choose(program, page.page, RoutePage::go);
    ASSERT_TRUE(program.route.worker.step());
    program.pass();
    ASSERT_FALSE(program.route.computing());
    const Route& route = program.route.route;
    ASSERT_GT(route.points.size(), 10u) << program.notification.bgText;
    EXPECT_NE(program.route.banner.text.find(" km"), std::string::npos) << program.route.banner.text;
    // The line where the route runs, on screen.
    int drawn = 0, onScreen = 0;
    for (const RoutePoint& p : route.points) {
        double x, y;
        if (program.map.toScreen(LonLat{p.lon, p.lat}, &x, &y) && x > 4 && y > 50 && x < 316 && y < 180) {
            ++onScreen;
            drawn += routePixelsNear(program.screen, static_cast<int>(x), static_cast<int>(y)) > 0 ? 1 : 0;
        }
    }
    ASSERT_GT(onScreen, 3);
    EXPECT_EQ(drawn, onScreen);

    // The turns page: a line per turn; one goes to its place.
    const MenuPage& turns = program.menu.model.pages[static_cast<std::size_t>(page.turnsPage)];
    ASSERT_EQ(turns.items.size(), route.turns.size());
    EXPECT_EQ(turns.items[1].text.find("in "), 0u) << turns.items[1].text;
    choose(program, page.turnsPage, 1);
    EXPECT_FALSE(program.menu.visible);
    double x, y;
    const RoutePoint& second = route.points[route.turns[1].point];
    ASSERT_TRUE(program.map.toScreen(LonLat{second.lon, second.lat}, &x, &y));
    EXPECT_NEAR(x, 160, 2);
    EXPECT_NEAR(y, 120, 2);

    // Saved as GPX into tracks/; a folder that cannot be made says so.
    choose(program, page.page, RoutePage::save);
    const std::vector<std::string> saved = Tracks::listFiles("tracks");
    ASSERT_EQ(saved.size(), 1u) << program.notification.bgText;
    GpxData gpx;
    std::string problem;
    ASSERT_TRUE(Gpx::read(saved[0], &gpx, &problem)) << problem;
    EXPECT_EQ(gpx.lines.size(), 2u) << "the rte and the trk";
    writeFile("blocked", "a file where the folder would be");
    EXPECT_FALSE(program.route.save("blocked"));
    EXPECT_EQ(program.notification.bgText.find(text(program, "route_not_saved")), 0u);

    // Ends no routing data covers: the reason on screen.
    ASSERT_TRUE(program.route.routeTo(48.85, 2.35));
    program.route.worker.step();
    program.pass();
    EXPECT_EQ(program.notification.bgText, text(program, "route_no_data"));
    EXPECT_EQ(program.route.route.points.size(), route.points.size()) << "the route shown stays";
}

TEST_F(RouteView, FollowedLeftAndArrived)
{
    Program& program = *made;
    fix(program, fromLat, fromLon);
    ASSERT_TRUE(program.route.routeTo(toLat, toLon));
    program.route.worker.step();
    program.pass();
    const Route first = program.route.route;
    ASSERT_GT(first.turns.size(), 2u);

    // On the route: the next turn and its distance.
    const RoutePoint& p = first.points[first.points.size() / 3];
    fix(program, p.lat, p.lon);
    EXPECT_EQ(program.route.banner.text.find("in "), 0u) << program.route.banner.text;

    // Three fixes ~300 m off: a new route from the fix.
    for (int i = 0; i < 2; ++i) {
        fix(program, p.lat + 0.003, p.lon);
        EXPECT_FALSE(program.route.computing());
    }
    fix(program, p.lat + 0.003, p.lon);
    ASSERT_TRUE(program.route.computing());
    program.route.worker.step();
    program.pass();
    const Route& again = program.route.route;
    ASSERT_FALSE(again.points.empty());
    EXPECT_NEAR(again.points.front().lat, p.lat + 0.003, 0.002);

    // At the end: said once.
    const RoutePoint& end = again.points.back();
    fix(program, end.lat, end.lon);
    fix(program, end.lat, end.lon);
    int told = 0;
    for (int i = 0; i < 20; ++i) {
        told += program.notification.bgText == text(program, "route_arrived") ? 1 : 0;
        program.notification.dismiss();
        fix(program, end.lat, end.lon);
    }
    EXPECT_EQ(told, 1);
}
