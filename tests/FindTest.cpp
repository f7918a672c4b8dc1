// Finding a place in the viewer: the search page typed into with keys and
// touches, coordinates, and the waypoints marked, renamed and deleted.
#include "IndexWriter.h"
#include "Mercator.h"
#include "MenuLine.h"
#include "Packages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

LonLat atPixel(double x, double y)
{
    LonLat p;
    Mercator::toLonLat(x, y, 7, &p.lon, &p.lat);
    return p;
}

// Characters as a keyboard types them (SDL reports the character too).
void type(ScriptedEvents* events, const std::string& text)
{
    for (char c : text) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = SDLK_UNKNOWN;
        e.key.keysym.unicode = static_cast<Uint16>(static_cast<unsigned char>(c));
        events->queue.push_back(e);
    }
}

// A touch on the toolbar's mark icon.
void touchMark(Program* program, ScriptedEvents* events)
{
    program->toolBar.visible = true;
    events->press(169, 231);
    events->press(169, 231, false);
    while (!events->queue.empty())
        program->pass();
}

void run(Program* program, ScriptedEvents* events)
{
    while (!events->queue.empty())
        program->pass();
    program->find.search.step();
    program->pass();
}

// The viewer on the sample package (Web Mercator level 7, the view's centre
// at world pixel (516, 426)), its workers driven by the test.
struct Session {
    explicit Session(bool withIndex)
    {
        dir.layRunDir();
        writeSamplePackage("maps/alpha/", "Alpha", false);
        if (withIndex)
            writeIndex();
        program.reset(new Program(testScreen(), testFonts(), &events, &clock));
        program->find.manual = true;
        program->options.centerCross = false;
        program->map.pipeline.setMode(TilePipeline::Mode::synchronous);
        EXPECT_TRUE(program->mapUI.loadPackage(0));
        for (ToolBarIcon& icon : program->toolBar.icons)
            icon.disabled = false; // as opening the package from its page does
        program->toolBar.visible = false;
        program->pass();
    }
    void writeIndex()
    {
        IndexWriter writer("maps/alpha.search");
        std::string why;
        ASSERT_TRUE(writer.open(&why)) << why;
        const LonLat town = atPixel(530, 430), far = atPixel(900, 700), street = atPixel(600, 480);
        writer.add(SearchEntry{"town", {"Alpville"}, "", town.lat, town.lon});
        writer.add(SearchEntry{"village", {"Alpine Meadow"}, "", far.lat, far.lon});
        writer.add(SearchEntry{"street", {"Old Alp Road"}, "Alpville", street.lat, street.lon});
        ASSERT_TRUE(writer.finish(&why)) << why;
    }
    // Where the view's centre is, at the level shown.
    LonLat centre() const
    {
        int z = 0;
        double x, y;
        EXPECT_TRUE(program->map.mercatorLevel(&z));
        program->map.worldPixel(160, 120, &x, &y);
        LonLat p;
        Mercator::toLonLat(x, y, z, &p.lon, &p.lat);
        return p;
    }

    TempDir dir;
    FakeClock clock;
    ScriptedEvents events;
    std::unique_ptr<Program> program;
};

} // namespace

TEST(Find, TypedQueryShowsNearestGoodMatchesAndChoosingCentresAndMarks)
{
    Session s(true);
    Program& p = *s.program;
    s.events.key(SDLK_SLASH);
    type(&s.events, "al");
    while (!s.events.queue.empty())
        p.pass();
    ASSERT_TRUE(p.find.page.visible);
    type(&s.events, "p");  // supersedes "al" before a worker answered
    run(&p, &s.events);
    ASSERT_EQ(p.find.page.lines.size(), 3u);
    EXPECT_EQ(p.find.page.lines[0].find("Alpville"), 0u) << p.find.page.lines[0];
    EXPECT_EQ(p.find.page.lines[1].find("Alpine Meadow"), 0u) << "names that start with the word before the rest";
    EXPECT_EQ(p.find.page.lines[2].find("Old Alp Road, Alpville"), 0u);
    type(&s.events, "v");
    run(&p, &s.events);
    ASSERT_EQ(p.find.page.lines.size(), 1u);
    s.events.key(SDLK_RETURN);
    run(&p, &s.events);
    EXPECT_FALSE(p.find.page.visible);
    const LonLat town = atPixel(530, 430), c = s.centre();
    EXPECT_NEAR(c.lon, town.lon, 0.01);
    EXPECT_NEAR(c.lat, town.lat, 0.01);
    LonLat chosen;
    ASSERT_TRUE(p.find.destination(&chosen));
    double x, y;
    ASSERT_TRUE(p.map.toScreen(chosen, &x, &y));
    Uint8 r, g, b;
    pixelAt(p.screen, static_cast<int>(x) + 4, static_cast<int>(y), &r, &g, &b);
    EXPECT_TRUE(r > 200 && g < 60) << "the chosen place is marked";
    // Escape leaves the page; the next key is the map's again.
    s.events.key(SDLK_SLASH);
    s.events.key(SDLK_ESCAPE);
    s.events.key(SDLK_RIGHT);
    run(&p, &s.events);
    EXPECT_FALSE(p.find.page.visible);
    EXPECT_EQ(p.panning.x, 1);
    EXPECT_TRUE(p.find.destination(&chosen)) << "kept until the next search";
}

TEST(Find, OnScreenKeyboardByTouchesAndArrows)
{
    FindPage page;
    page.keyboard.setAccents("\xC3\xA1\xC4\x8D");  // á č
    page.open("Find:", "", false);
    auto press = [&](int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = static_cast<Uint16>(x);
        e.button.y = static_cast<Uint16>(y);
        return page.take(e).kind;
    };
    auto key = [&](SDLKey sym) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.keysym.sym = sym;
        return page.take(e).kind;
    };
    // Keys are 32 x 16 from y 160: "q" is the second row's first.
    EXPECT_EQ(press(5, 180), FindPage::Action::edited);
    key(SDLK_UP);
    key(SDLK_RIGHT);
    EXPECT_EQ(key(SDLK_RETURN), FindPage::Action::edited);
    EXPECT_EQ(page.text, "q2");
    press(40, 230);  // the accents' page
    press(36, 180);  // its second letter
    press(300 - 60, 230);  // backspace
    press(300 - 60, 230);
    press(40, 230);  // from there, the marks' page
    press(5, 180);  // a degree sign
    EXPECT_EQ(page.text, "q\xC2\xB0");
    press(170, 230);  // space
    EXPECT_EQ(page.text, "q\xC2\xB0 ");
    EXPECT_EQ(key(SDLK_UP), FindPage::Action::none);
    for (int i = 0; i < 5; ++i)
        key(SDLK_UP);
    EXPECT_TRUE(page.onKeyboard) << "no lines to go up to";
    page.show({"one", "two"}, "");
    key(SDLK_UP);
    EXPECT_FALSE(page.onKeyboard);
    EXPECT_EQ(page.selected, 1);
    EXPECT_EQ(press(10, 24 + 3), FindPage::Action::choose);
    EXPECT_EQ(page.selected, 0);
    EXPECT_EQ(key(SDLK_ESCAPE), FindPage::Action::leave);
}

TEST(Find, CoordinatesCentreOrSayWhatWasExpected)
{
    Session s(false);
    Program& p = *s.program;
    s.events.key(SDLK_SLASH);
    run(&p, &s.events);
    EXPECT_EQ(p.find.page.message, p.lang.value("search_no_index")) << "how to make an index";
    const LonLat there = atPixel(560, 400);
    char typed[64];
    std::snprintf(typed, sizeof typed, "geo:%.6f,%.6f", there.lat, there.lon);
    type(&s.events, typed);
    run(&p, &s.events);
    ASSERT_EQ(p.find.page.lines.size(), 1u);
    s.events.key(SDLK_RETURN);
    run(&p, &s.events);
    const LonLat c = s.centre();
    EXPECT_NEAR(c.lon, there.lon, 0.01);
    EXPECT_NEAR(c.lat, there.lat, 0.01);
    s.events.key(SDLK_SLASH);
    type(&s.events, "95, 14");
    run(&p, &s.events);
    EXPECT_EQ(p.find.page.message, p.lang.value("coordinates_range"));
    EXPECT_TRUE(p.find.page.lines.empty());
    for (int i = 0; i < 6; ++i)
        s.events.key(SDLK_BACKSPACE);
    type(&s.events, "50 14 13 12");
    run(&p, &s.events);
    EXPECT_EQ(p.find.page.message, p.lang.value("coordinates_expected"));
}

TEST(Find, WaypointsMarkedSavedShownFoundRenamedDeleted)
{
    Session s(false);
    Program& p = *s.program;
    // A save that fails says so and keeps the list.
    mkdir("tracks", 0755);
    mkdir("tracks/waypoints.gpx.new", 0755);
    touchMark(&p, &s.events);
    ASSERT_TRUE(p.find.page.visible);
    EXPECT_EQ(p.find.page.text, "Waypoint 1");
    s.events.key(SDLK_RETURN);  // the on-screen OK
    run(&p, &s.events);
    EXPECT_FALSE(p.find.page.visible);
    ASSERT_EQ(p.find.waypoints.list.size(), 1u);
    EXPECT_EQ(p.notification.bgText.find(p.lang.value("waypoints_not_saved")), 0u);
    EXPECT_FALSE(fileExists("tracks/waypoints.gpx"));
    rmdir("tracks/waypoints.gpx.new");
    p.notification.dismiss();

    touchMark(&p, &s.events);
    s.events.key(SDLK_RETURN);
    run(&p, &s.events);
    EXPECT_NE(readFile("tracks/waypoints.gpx").find("<name>Waypoint 2</name>"), std::string::npos);
    const Waypoints::Waypoint w = p.find.waypoints.list[0];
    double x, y;
    ASSERT_TRUE(p.map.toScreen(LonLat{w.lon, w.lat}, &x, &y));
    Uint8 r, g, b;
    pixelAt(p.screen, static_cast<int>(x) + 2, static_cast<int>(y) + 2, &r, &g, &b);
    EXPECT_TRUE(r > 110 && r < 145 && g < 20 && b > 145) << "drawn on the map";

    // Renamed from its page, then found by the search.
    ASSERT_TRUE(p.find.choose(p.pages.mapOptions, MenuLine::waypoints));
    EXPECT_EQ(p.menu.model.page().items.size(), 3u) << "mark, then the two";
    p.find.choose(p.find.waypointPage.page, 0);
    p.find.choose(p.find.waypointPage.onePage, WaypointPage::rename);
    for (int i = 0; i < 10; ++i)
        s.events.key(SDLK_BACKSPACE);
    type(&s.events, "Hut");
    s.events.key(SDLK_RETURN);
    run(&p, &s.events);
    EXPECT_NE(readFile("tracks/waypoints.gpx").find("<name>Hut</name>"), std::string::npos);
    s.events.key(SDLK_ESCAPE);
    s.events.key(SDLK_SLASH);
    type(&s.events, "hu");
    run(&p, &s.events);
    ASSERT_EQ(p.find.page.lines.size(), 1u);
    EXPECT_EQ(p.find.page.lines[0].find("Hut"), 0u);
    s.events.key(SDLK_ESCAPE);
    run(&p, &s.events);

    // Its page asks for a route to it.
    double routedLat = 0;
    p.find.routeTo = [&routedLat](double lat, double) { return (routedLat = lat) != 0; };
    p.find.choose(p.find.waypointPage.page, 0);
    p.find.choose(p.find.waypointPage.onePage, WaypointPage::routeHere);
    EXPECT_EQ(routedLat, p.find.waypoints.list[0].lat);

    p.find.choose(p.find.waypointPage.page, 0);
    p.find.choose(p.find.waypointPage.onePage, WaypointPage::remove);
    const std::string saved = readFile("tracks/waypoints.gpx");
    EXPECT_EQ(saved.find("Hut"), std::string::npos);
    EXPECT_NE(saved.find("Waypoint 2"), std::string::npos);
}
