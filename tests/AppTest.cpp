// The whole program driven through its loop with scripted input and a fake
// clock, on packages made by the test; checked on the screen and the files.
#include "Archives.h"
#include "Packages.h"
#include "Program.h"
#include "TestSupport.h"
#include "ToolAction.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Screen points of the toolbar icons and the first menu line.
const int iconX[] = {14, 35, 55, 74, 93, 112, 307};
const int iconY = 231;

} // namespace

class App : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.layRunDir();
        writeSamplePackage("maps/alpha/", "Alpha", false);
        writeSamplePackage("maps/beta/", "Beta", true);
    }

    Program& start()
    {
        program = std::make_unique<Program>(testScreen(), testFonts(), &events, &clock);
        // These sessions check each frame's picture: every tile is loaded
        // before the frame that shows it (the loader has tests of its own).
        program->map.pipeline.setMode(TilePipeline::Mode::synchronous);
        return *program;
    }

    // Runs passes until the queued events are used up, plus `extra` passes.
    void run(int extra = 0)
    {
        while (!events.queue.empty())
            program->pass();
        for (int i = 0; i < extra; ++i)
            program->pass();
    }

    void key(SDLKey k, SDLMod mod = KMOD_NONE)
    {
        events.key(k, true, mod);
        events.key(k, false, mod);
    }

    void tap(int x, int y)
    {
        events.press(x, y);
        events.press(x, y, false);
    }

    int packageLine(const std::string& caption)
    {
        const auto& captions = program->mapUI.packageCaptions;
        return static_cast<int>(std::find(captions.begin(), captions.end(), caption) - captions.begin());
    }

    // Opens a package through the toolbar and the package page with keys.
    void openWithKeys(const std::string& caption)
    {
        for (std::size_t i = 0; i < program->toolBar.icons.size() && program->toolBar.selectedIcon()->id != 2; ++i) {
            key(SDLK_RIGHT);
            run();
        }
        key(SDLK_RETURN);
        run();
        chooseLine(packageLine(caption));
    }

    // Chooses line `line` of the page shown with the arrow keys (each page
    // keeps its own selection) and RETURN.
    void chooseLine(int line)
    {
        const MenuPage& page = program->menu.model.pages[static_cast<std::size_t>(program->menu.model.current)];
        const int downs = (line - page.selected + page.size()) % page.size();
        for (int i = 0; i < downs; ++i)
            key(SDLK_DOWN);
        key(SDLK_RETURN);
        run();
    }

    // Pans right for a few frames with the toolbar hidden, then taps the
    // save icon.
    void panAndSave()
    {
        hideToolBar();
        events.key(SDLK_RIGHT);
        run(5);
        events.key(SDLK_RIGHT, false);
        key(SDLK_ESCAPE);
        run();
        tap(iconX[3], iconY);
        run();
    }

    void hideToolBar()
    {
        key(SDLK_ESCAPE);
        run();
        ASSERT_FALSE(program->toolBar.visible);
    }

    std::string stored(const std::string& file, const std::string& key)
    {
        ConfParser conf(file, 1);
        std::string value = "(missing)";
        conf.value(key, &value);
        return value;
    }

    TempDir dir;
    FakeClock clock;
    ScriptedEvents events;
    std::unique_ptr<Program> program;
};

TEST_F(App, OpensAPackageWithKeys)
{
    Program& p = start();
    openWithKeys("Beta");
    EXPECT_TRUE(p.map.loaded());
    EXPECT_FALSE(p.menu.visible);
    EXPECT_TRUE(p.toolBar.visible);
    EXPECT_EQ(p.map.conf.file, "maps/beta/map.conf");
    for (int icon : {ToolAction::zoomIn, ToolAction::zoomOut, ToolAction::save, ToolAction::mapOptions})
        EXPECT_FALSE(p.toolBar.findIcon(icon)->disabled);
    // The map is drawn under the toolbar: tile (1, 1) at the top left.
    const TileSpot spot = spotAt(testScreen(), 10, 60);
    EXPECT_EQ(spot.id, 7);
    EXPECT_EQ(spot.px, 108);
    // The centre cross (15 x 15 at (152, 112)) is drawn in the middle.
    Uint8 r, g, b;
    pixelAt(testScreen(), 159, 119, &r, &g, &b);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({255, 255, 255}));
    const auto& mapOptions = p.menu.model.pages[static_cast<std::size_t>(p.pages.mapOptions)].items;
    EXPECT_EQ(mapOptions[0].value, "Satellite");
    EXPECT_EQ(mapOptions[1].value, "None");
    EXPECT_FALSE(mapOptions[0].disabled);
    EXPECT_FALSE(mapOptions[1].disabled);
}

TEST_F(App, OpensAPackageWithTouches)
{
    Program& p = start();
    tap(iconX[2], iconY);
    run();
    ASSERT_TRUE(p.menu.visible);
    EXPECT_EQ(p.menu.model.current, p.pages.packageList);
    const int line = packageLine("Alpha");
    tap(100, 90 + line * p.menu.lineSkip + p.menu.lineSkip / 2);
    run();
    EXPECT_TRUE(p.map.loaded());
    EXPECT_EQ(p.map.conf.file, "maps/alpha/map.conf");
    EXPECT_FALSE(p.menu.visible);
    EXPECT_EQ(spotAt(testScreen(), 10, 60).id, 7);
}

TEST_F(App, TouchOutsideTheMenuClosesItAndReachesTheToolbar)
{
    Program& p = start();
    tap(iconX[2], iconY);
    run();
    ASSERT_TRUE(p.menu.visible);
    tap(iconX[4], iconY); // options icon: closes the package page, opens the options
    run();
    EXPECT_TRUE(p.menu.visible);
    EXPECT_EQ(p.menu.model.current, p.pages.options);
    tap(160, 70); // the heading of a page without parent closes the menu
    run();
    EXPECT_FALSE(p.menu.visible);
}

TEST_F(App, PansWithKeysDiagonallyAndWithTheBoostKey)
{
    Program& p = start();
    openWithKeys("Alpha");
    hideToolBar();
    const int x0 = p.map.grid.offsetX, y0 = p.map.grid.offsetY;
    events.key(SDLK_RIGHT);
    run(9); // 10 frames of 33 ms at 100 px/s
    EXPECT_NEAR(p.map.grid.offsetX - x0, 33, 1);
    EXPECT_EQ(p.map.grid.offsetY, y0);
    events.key(SDLK_DOWN);
    run(9);
    EXPECT_GT(p.map.grid.offsetY - y0, 20);
    EXPECT_LT(p.map.grid.offsetY - y0, 25) << "diagonal: 70 px/s on each axis";
    events.key(SDLK_RIGHT, false);
    events.key(SDLK_DOWN, false);
    run();
    const int x1 = p.map.grid.offsetX;
    run(5);
    EXPECT_EQ(p.map.grid.offsetX, x1) << "released: the map stands";

    events.key(SDLK_LSHIFT);
    events.key(SDLK_LEFT);
    run(9);
    EXPECT_EQ(p.panning.speed, 300);
    EXPECT_LT(p.map.grid.offsetX - x1, -90);
    events.key(SDLK_LSHIFT, false);
    events.key(SDLK_LEFT, false);
    run();
    EXPECT_EQ(p.panning.speed, 100);
}

TEST_F(App, EdgeTouchesPanTowardsThePointUntilRelease)
{
    Program& p = start();
    openWithKeys("Alpha");
    tap(160, 120); // the map area while the toolbar shows: hides it, does not pan
    run();
    ASSERT_FALSE(p.toolBar.visible);
    EXPECT_EQ(p.panning.x, 0);
    const int x0 = p.map.grid.offsetX;
    events.press(10, 120);
    run(9);
    EXPECT_EQ(p.panning.x, -150);
    EXPECT_EQ(p.panning.y, 0);
    EXPECT_NEAR(p.map.grid.offsetX - x0, -33, 1);
    events.press(10, 120, false);
    run(3);
    EXPECT_EQ(p.panning.x, 0);
    tap(160, 120); // the inner area shows the toolbar again
    run();
    EXPECT_TRUE(p.toolBar.visible);
}

TEST_F(App, ZoomKeysKeepTheCentre)
{
    Program& p = start();
    openWithKeys("Alpha");
    const long long centreX = p.map.centre().pixelsX(256);
    key(SDLK_KP_MINUS);
    run();
    EXPECT_EQ(p.map.api->zoomValue(), 11);
    EXPECT_EQ(p.map.centre().pixelsX(256), centreX / 2);
    key(SDLK_KP_MINUS); // no farther level
    key(SDLK_KP_PLUS);
    run();
    EXPECT_EQ(p.map.api->zoomValue(), 10);
    tap(iconX[1], iconY); // zoom out icon
    run();
    EXPECT_EQ(p.map.api->zoomValue(), 11);
}

TEST_F(App, ChoosesBackgroundAndOverlay)
{
    Program& p = start();
    openWithKeys("Alpha");
    tap(iconX[5], iconY);
    run();
    ASSERT_EQ(p.menu.model.current, p.pages.mapOptions);
    chooseLine(0); // background
    ASSERT_EQ(p.menu.model.current, p.pages.bg);
    chooseLine(1); // "wab"
    EXPECT_EQ(p.menu.model.current, p.pages.mapOptions);
    EXPECT_EQ(p.map.api->bg.name, "wab");
    const auto& lines = p.menu.model.pages[static_cast<std::size_t>(p.pages.mapOptions)].items;
    EXPECT_EQ(lines[0].value, "Road map");
    chooseLine(1);
    ASSERT_EQ(p.menu.model.current, p.pages.overlay);
    chooseLine(0); // "wat"
    EXPECT_EQ(p.map.api->overlay.name, "wat");
    EXPECT_EQ(lines[1].value, "Labels");
    key(SDLK_ESCAPE);
    run();
    EXPECT_FALSE(p.menu.visible);
    // Tile (1, 1) of "wab" is id 17; the overlay's white square covers the
    // middle of each tile: (96..159) of tile (1, 1) is at screen (0..59, 46..109).
    // (Below the credits, whose plate lightens the tiles under it.)
    EXPECT_EQ(spotAt(testScreen(), 100, 20).id, 17);
    Uint8 r, g, b;
    pixelAt(testScreen(), 30, 80, &r, &g, &b);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({255, 255, 255}));

    tap(iconX[5], iconY);
    run();
    chooseLine(1); // overlay
    chooseLine(1); // "None"
    EXPECT_TRUE(p.map.api->overlay.name.empty());
}

TEST_F(App, SaveIconWritesThePositionAndSaysSo)
{
    Program& p = start();
    openWithKeys("Alpha");
    panAndSave();
    EXPECT_EQ(stored("maps/alpha/map.conf", "move_x"), std::to_string(p.map.grid.offsetX + 160));
    EXPECT_TRUE(fileExists("maps/alpha/map.conf~"));
    EXPECT_EQ(p.notification.bgText, "Position saved");
    EXPECT_GT(pixelsDifferentFrom(testScreen(), SDL_Rect{115, 2, 200, 15}, 0, 0, 0), 30);
    clock.advance(1500);
    run(1);
    EXPECT_TRUE(p.notification.bgText.empty());

    // A package whose description lacks a key cannot save: it says so.
    std::remove("maps/alpha/map.conf~");
    auto& entries = p.map.conf.parameters;
    entries.erase(std::find_if(entries.begin(), entries.end(), [](const ConfParameter& e) { return e.name == "move_y"; }));
    tap(iconX[3], iconY);
    run();
    EXPECT_EQ(p.notification.bgText, "Position NOT saved");
    EXPECT_FALSE(fileExists("maps/alpha/map.conf~"));
}

TEST_F(App, AnArchiveOpensInPlaceAndKeepsItsPositionBeside)
{
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    for (int x = 0; x < 4; ++x)
        for (int row = 0; row < 4; ++row)
            tiles.emplace_back(3, x, row, tilePng(x + 4 * row));
    writeMBTiles("maps/World Tiles.MBTILES", tiles, {{"name", "Tiled world"}, {"attribution", "<b>Tiles</b> &amp; co"}});
    const std::string before = readFile("maps/World Tiles.MBTILES");
    Program& p = start();
    openWithKeys("Tiled world");
    ASSERT_TRUE(p.map.loaded());
    EXPECT_EQ(p.map.api->copyright, "Tiles & co");
    panAndSave();
    EXPECT_EQ(p.notification.bgText, "Position saved");
    EXPECT_EQ(stored("maps/World Tiles.MBTILES.conf", "zoom_actual"), "3");
    key(SDLK_c, KMOD_LCTRL);
    run();
    program.reset();
    EXPECT_EQ(readFile("maps/World Tiles.MBTILES"), before);
}

// Files an interrupted save left missing come back from their backups on
// start and on opening, and the screen says so, not only standard error.
TEST_F(App, RestoredSettingsAndPositionFilesSaySoOnScreen)
{
    writeMBTiles("maps/w.mbtiles", {{0, 0, 0, tilePng(1)}}, {{"name", "W"}});
    std::rename("tessel.conf", "tessel.conf~");
    writeFile("maps/w.mbtiles.conf~", "zoom_actual=0\n");
    testing::internal::CaptureStderr();
    Program& p = start();
    EXPECT_EQ(p.notification.bgText, "Restored from its backup: tessel.conf");
    clock.advance(Notification::toldWrappedMs + 1);
    run(1);
    openWithKeys("W");
    run();
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(p.map.loaded());
    EXPECT_EQ(p.notification.bgText, "Restored from its backup: maps/w.mbtiles.conf");
    EXPECT_TRUE(fileExists("tessel.conf"));
    EXPECT_TRUE(fileExists("maps/w.mbtiles.conf"));
    EXPECT_NE(said.find("tessel.conf was missing; recovered from tessel.conf~"), std::string::npos) << said;
}

// Notices that come by themselves at start (a damaged track, a restored
// file) never take the user's first key or touch: both act at once, and the
// notices pass in turn after their time.
TEST_F(App, NoticesAtStartLeaveTheFirstKeyAndTouchToTheUser)
{
    writeFile("tracks/broken.gpx", "<gpx><trk><trkseg><trkpt lat='1' lon='1'/><trkpt lat='2' lon='2'/><trkp");
    std::rename("tessel.conf", "tessel.conf~");
    for (bool touch : {false, true}) {
        SCOPED_TRACE(touch ? "touch" : "keys");
        testing::internal::CaptureStderr();
        Program& p = start();
        run(2);
        testing::internal::GetCapturedStderr();
        ASSERT_FALSE(p.notification.bgText.empty());
        if (touch) {
            tap(iconX[2], iconY);
            run();
        } else {
            ASSERT_EQ(p.toolBar.selectedIcon()->id, ToolAction::openPackage);
            key(SDLK_RETURN);
            run();
        }
        ASSERT_TRUE(p.menu.visible) << "the package page opens at once";
        chooseLine(packageLine("Beta"));
        EXPECT_TRUE(p.map.loaded()) << "and the package too";
        EXPECT_FALSE(p.notification.waiting());
        EXPECT_EQ(p.notification.bgText, "Restored from its backup: tessel.conf");
        clock.advance(Notification::toldWrappedMs + 1);
        run(1);
        EXPECT_EQ(p.notification.bgText.rfind("Track damaged:", 0), 0u) << p.notification.bgText;
        clock.advance(Notification::toldWrappedMs + 1);
        run(1);
        EXPECT_EQ(p.notification.bgText, "");
        program.reset();
        std::rename("tessel.conf", "tessel.conf~");
    }
}

// Each refusal says why on the screen, wrapped within it, until a key; the
// open package and the page stay as they were.
TEST_F(App, RefusedPackagesSayWhyOnScreen)
{
    mkdir("maps/broken", 0755);
    writeFile("maps/broken/map.conf", "caption=Broken\napi=google\ntype=sat\n");
    mkdir("maps/climbs", 0755);
    writeFile("maps/climbs/map.conf", "caption=Climbs\npacked=0\ntype=../sat\nzoom=1\nzoom_actual=1\nbegin_x=0\n"
                                      "begin_y=0\nend_x=1\nend_y=1\n");
    writeFile("maps/words.mbtiles", "just words\n");
    writeFile("maps/words.pmtiles", "just words\n");
    writeFile("maps/v2.pmtiles", std::string("PM\x02\x00", 4) + std::string(100, '\0'));
    PMTilesLayout whole; // cut short by an interrupted copy
    whole.tiles = {{{0, 0, 0}, tilePng(0)}};
    writePMTiles("maps/cut.pmtiles", whole);
    ASSERT_EQ(truncate("maps/cut.pmtiles", 500), 0);
    const std::vector<std::pair<std::string, std::string>> refusals = {
        {"cut.pmtiles", "the header names sections outside the archive (is the file cut short?)"},
        {"Broken", "map.conf lacks the key packed"},
        {"Climbs", "the layer name \"../sat\" is not a folder name"},
        {"words.mbtiles", "not an MBTiles file: not SQLite"},
        {"words.pmtiles", "not a PMTiles file"},
        {"v2.pmtiles", "PMTiles version 2 is not supported; convert it to version 3"},
    };
    Program& p = start();
    for (bool withMap : {false, true}) {
        if (withMap) {
            openWithKeys("Alpha");
            ASSERT_TRUE(p.map.loaded());
        }
        for (const auto& refusal : refusals) {
            SCOPED_TRACE(refusal.first);
            testing::internal::CaptureStderr();
            openWithKeys(refusal.first);
            const std::string said = testing::internal::GetCapturedStderr();
            EXPECT_NE(said.find(": " + refusal.second + "\n"), std::string::npos) << "and on standard error: " << said;
            EXPECT_EQ(p.map.loaded() ? p.map.conf.file : "", withMap ? "maps/alpha/map.conf" : "");
            EXPECT_EQ(p.toolBar.findIcon(ToolAction::save)->disabled, !withMap);
            EXPECT_TRUE(p.menu.visible) << "the package page stays for another choice";
            EXPECT_EQ(p.notification.bgText, "This package cannot be opened: " + refusal.second);
            ASSERT_TRUE(p.notification.waiting());
            const SDL_Rect plate = p.notification.extent();
            EXPECT_EQ(plate.w, 320);
            Uint8 r, g, b;
            pixelAt(testScreen(), 3, plate.h - 3, &r, &g, &b);
            EXPECT_GT(pixelsDifferentFrom(testScreen(), plate, r, g, b), 300) << "its lines are drawn";
            for (const std::string& line : p.notification.wrapped) {
                int w = 0, h = 0;
                TTF_SizeUTF8(testFonts().text, line.c_str(), &w, &h);
                EXPECT_LE(w, 320 - 12) << line;
            }
            clock.advance(20000);
            run(1);
            EXPECT_TRUE(p.notification.waiting()) << "it stays until read";
            const int line = p.menu.model.page().selected;
            key(SDLK_DOWN);
            run();
            EXPECT_FALSE(p.notification.waiting());
            EXPECT_EQ(p.menu.model.page().selected, line)
                << "the key that dismisses it does nothing else";
            key(SDLK_ESCAPE);
            run();
        }
    }
}

// What the loader finds wrong with a vector archive reaches the screen once
// per package (every message also goes to standard error).
TEST_F(App, ADamagedVectorArchiveSaysSoOnScreenOnce)
{
    writeMBTiles("maps/broken.mbtiles", {{1, 0, 0, "\x1f\x8b garbage"}, {1, 1, 1, "\x1a\x05 short"}},
                 {{"format", "pbf"}});
    Program& p = start();
    testing::internal::CaptureStderr();
    openWithKeys("broken.mbtiles");
    run(2);
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(p.map.loaded());
    EXPECT_EQ(p.notification.bgText.rfind("vector tile ", 0), 0u) << p.notification.bgText;
    EXPECT_NE(said.find(p.notification.bgText + "\n"), std::string::npos) << said;
    p.notification.setBg("", 0);
    key(SDLK_ESCAPE);
    key(SDLK_RIGHT);
    run(2);
    EXPECT_EQ(p.notification.bgText, "") << "one notice per package";
}

TEST_F(App, OptionPagesChangeAndStoreTheSettings)
{
    Program& p = start();
    auto openOptionsLine = [&](int line) {
        tap(iconX[4], iconY);
        run();
        ASSERT_EQ(p.menu.model.current, p.pages.options);
        chooseLine(line);
    };
    const auto& optionLines = p.menu.model.pages[static_cast<std::size_t>(p.pages.options)].items;
    EXPECT_EQ(optionLines[1].value, "30");
    EXPECT_EQ(optionLines[5].value, "100 pps");
    EXPECT_EQ(optionLines[6].value, "3 x");

    // Each option line, the choice made on its page, and what is stored.
    struct Choice {
        int line, choice;
        const char *key, *value;
    } const choices[] = {{1, 0, "fps", "0"},          {2, 0, "show_fps", "yes"},
                         {3, 1, "show_battery", "no"}, {4, 1, "smooth", "no"},
                         {5, 1, "map_move_speed", "50"}, {6, 3, "map_move_multiplier", "5"},
                         {7, 1, "center_cross", "no"}};
    for (const Choice& c : choices) {
        openOptionsLine(c.line);
        chooseLine(c.choice);
        EXPECT_EQ(p.menu.model.current, p.pages.options) << c.key;
        key(SDLK_ESCAPE);
        run();
    }
    EXPECT_EQ(p.fps.limit, 0);
    EXPECT_EQ(optionLines[1].value, "Unlimited");
    EXPECT_TRUE(p.options.showFps);
    EXPECT_FALSE(p.options.showBattery);
    EXPECT_FALSE(p.options.smoothText);
    EXPECT_EQ(p.panning.speed, 50);
    EXPECT_EQ(p.options.moveMultiplier, 5);
    EXPECT_FALSE(p.options.centerCross);

    // The frame rate shows, the battery does not.
    fill(testScreen(), 0, 0, 0);
    p.damage.forget(); // the screen was painted behind the program's back
    run(1);
    EXPECT_GT(pixelsDifferentFrom(testScreen(), SDL_Rect{230, 0, 60, 15}, 0, 0, 0), 0);

    key(SDLK_c, KMOD_LCTRL);
    run();
    program.reset();
    for (const Choice& c : choices)
        EXPECT_EQ(stored("tessel.conf", c.key), c.value);
    EXPECT_TRUE(fileExists("tessel.conf~"));

    Program& again = start();
    EXPECT_EQ(again.fps.limit, 0);
    EXPECT_TRUE(again.options.showFps);
    EXPECT_EQ(again.options.moveSpeed, 50);
    EXPECT_EQ(again.menu.model.pages[static_cast<std::size_t>(again.pages.options)].items[1].value, "Unlimited");
}

TEST_F(App, WithoutASettingsFileTheFirstChangeWritesOne)
{
    std::remove("tessel.conf");
    Program& p = start();
    tap(iconX[4], iconY);
    run();
    chooseLine(7);
    chooseLine(1); // centre cross: no
    ASSERT_FALSE(p.options.centerCross);
    key(SDLK_c, KMOD_LCTRL);
    run();
    program.reset();
    EXPECT_EQ(stored("tessel.conf", "center_cross"), "no");
}

TEST_F(App, SpeedChoicesWhileTheBoostKeyIsHeld)
{
    Program& p = start();
    openWithKeys("Alpha");
    hideToolBar();
    events.key(SDLK_RSHIFT);
    run();
    EXPECT_EQ(p.panning.speed, 300);
    key(SDLK_BACKSPACE);
    run();
    tap(iconX[4], iconY);
    run();
    chooseLine(5);
    chooseLine(1); // 50 pps while boosted
    EXPECT_EQ(p.panning.speed, 150);
    chooseLine(6);
    chooseLine(2); // 4 x while boosted
    EXPECT_EQ(p.panning.speed, 200);
    events.key(SDLK_RSHIFT, false);
    run();
    EXPECT_EQ(p.panning.speed, 50);
}

TEST_F(App, LanguageSwitchIsStoredAndLaterTextsFollowIt)
{
    Program& p = start();
    tap(iconX[4], iconY);
    run();
    chooseLine(0);
    ASSERT_EQ(p.menu.model.current, p.pages.pageOf("language"));
    const auto& files = p.pages.languages.files;
    const int czech = static_cast<int>(std::find(files.begin(), files.end(), "czech.conf") - files.begin());
    ASSERT_LT(czech, static_cast<int>(files.size()));
    chooseLine(czech);
    EXPECT_EQ(p.menu.model.pages[static_cast<std::size_t>(p.pages.options)].items[0].value, "Čeština");
    EXPECT_EQ(p.lang.value("overlay_none"), "Žádný");
    key(SDLK_ESCAPE);
    run();
    openWithKeys("Alpha");
    EXPECT_EQ(p.menu.model.pages[static_cast<std::size_t>(p.pages.mapOptions)].items[0].value, "Satelitní");
    EXPECT_EQ(p.toolBar.icons[0].text, "Zoom in") << "texts placed at start-up stay";
    events.quit();
    run();
    program.reset();
    EXPECT_EQ(stored("tessel.conf", "language"), "czech.conf");
    Program& again = start();
    EXPECT_EQ(again.toolBar.icons[0].text, "Přiblížit");
}

TEST_F(App, ExitPageSavesOrNot)
{
    {
        Program& p = start();
        openWithKeys("Alpha");
        tap(iconX[6], iconY);
        run();
        ASSERT_EQ(p.menu.model.current, p.pages.exit);
        key(SDLK_BACKSPACE);
        run();
        EXPECT_FALSE(p.menu.visible) << "BACKSPACE closes the exit page";
        EXPECT_FALSE(p.commands.quit);
        tap(iconX[6], iconY);
        run();
        chooseLine(1); // save_no
        EXPECT_TRUE(p.commands.quit);
    }
    program.reset();
    EXPECT_FALSE(fileExists("maps/alpha/map.conf~"));
    {
        Program& p = start();
        openWithKeys("Alpha");
        p.map.move(40, 0);
        tap(iconX[6], iconY);
        run();
        chooseLine(0); // save_yes
        EXPECT_TRUE(p.commands.quit);
    }
    program.reset();
    EXPECT_TRUE(fileExists("maps/alpha/map.conf~"));
    EXPECT_EQ(stored("maps/alpha/map.conf", "move_x"), "300");
}

TEST_F(App, EscapeAndBackspaceInEveryFocus)
{
    Program& p = start();
    key(SDLK_ESCAPE);
    key(SDLK_BACKSPACE);
    run();
    EXPECT_TRUE(p.toolBar.visible) << "no map: the toolbar stays";
    tap(iconX[4], iconY);
    run();
    chooseLine(1); // into the frame cap page
    ASSERT_EQ(p.menu.model.current, p.pages.pageOf("fps"));
    key(SDLK_BACKSPACE);
    run();
    EXPECT_EQ(p.menu.model.current, p.pages.options);
    EXPECT_TRUE(p.menu.visible);
    key(SDLK_BACKSPACE);
    run();
    EXPECT_FALSE(p.menu.visible);
    tap(iconX[4], iconY);
    run();
    chooseLine(1);
    key(SDLK_ESCAPE);
    run();
    EXPECT_FALSE(p.menu.visible) << "ESCAPE closes the whole menu";

    openWithKeys("Alpha");
    key(SDLK_BACKSPACE);
    run();
    EXPECT_FALSE(p.toolBar.visible);
    key(SDLK_RETURN); // nothing in map focus
    key(SDLK_ESCAPE);
    run();
    EXPECT_TRUE(p.toolBar.visible);
}

TEST(LanguageFiles, EveryFileDefinesEveryTextTheProgramAsksFor)
{
    std::vector<std::string> ids;
    const std::regex asked("value\\(\"([a-z_]+)\"\\)");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(TESSEL_SOURCE_DIR) + "/src")) {
        if (entry.path().extension() != ".cpp")
            continue;
        const std::string text = readFile(entry.path().string());
        for (std::sregex_iterator it(text.begin(), text.end(), asked), end; it != end; ++it)
            ids.push_back((*it)[1]);
    }
    for (const char* id : {"zoom_in", "zoom_out", "open_package", "save", "options", "map_options", "exit", "yes",
                           "no", "type_google_satellite", "type_google_base", "type_google_terrain",
                           "type_google_overlay", "type_archive", "type_seznam_base", "type_seznam_turist", "type_seznam_ophoto",
                           "type_seznam_hybrid", "type_seznam_ttur", "type_seznam_relief-l", "__language"})
        ids.push_back(id);
    ASSERT_GT(ids.size(), 30u) << "the program asks for its texts with value(\"id\")";
    for (const char* file : {"english.conf", "czech.conf", "german.conf"}) {
        const ConfParser lang(std::string(TESSEL_SOURCE_DIR) + "/lang/" + file, 1);
        for (const std::string& id : ids) {
            std::string text;
            EXPECT_TRUE(lang.value(id, &text) && !text.empty()) << file << " lacks " << id;
        }
    }
}
