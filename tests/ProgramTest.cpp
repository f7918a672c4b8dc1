#include "Packages.h"
#include "ProgramDriver.h"
#include "TestSupport.h"
#include "ToolAction.h"

#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

// The start-up, the loop's pace and the settings file, tiles loaded as
// the shipped settings say.
class ProgramLoop : public ::testing::Test, public ProgramDriver {
protected:
    void SetUp() override { dir.layRunDir(); }
};

TEST_F(ProgramLoop, MissingKeysTakeDefaults)
{
    writeFile("tessel.conf", "fps=-5\nmap_move_speed=50\n");
    start(false);
    EXPECT_EQ(program->fps.limit, 0);
    EXPECT_EQ(program->panning.speed, 50);
    EXPECT_EQ(program->options.moveMultiplier, 3);
    EXPECT_EQ(program->options.showBattery, Battery::found());
    EXPECT_FALSE(program->options.showFps);
}

TEST_F(ProgramLoop, OneEventPerPassAndCtrlCQuits)
{
    start(false);
    events.key(SDLK_c);
    events.key(SDLK_c, true, KMOD_RCTRL);
    EXPECT_TRUE(program->pass()) << "a plain c does not quit";
    EXPECT_EQ(events.queue.size(), 1u);
    EXPECT_FALSE(program->pass());
    EXPECT_TRUE(events.queue.empty());
    EXPECT_EQ(program->run(), 0);
}

TEST_F(ProgramLoop, EveryPassIsPacedByTheFrameCap)
{
    start(false);
    program->pass();
    clock.advance(10);
    program->pass();
    EXPECT_EQ(clock.delays, (std::vector<Uint32>{100, 33, 23})) << "the start-up picture shows for 100 ms";
    EXPECT_EQ(program->fps.frameTime, 33u);
}

TEST_F(ProgramLoop, FrameRateTextIsDrawnWhenEnabled)
{
    writeFile("tessel.conf", "show_fps=yes\nshow_battery=no\n");
    writeImage("media/splash.png", 320, 240, 255, 255, 255);
    writeSamplePackage("maps/alpha/", "Alpha", false); // no "where packages go" message
    start(false);
    program->pass();
    EXPECT_GT(pixelsDifferentFrom(testScreen(), SDL_Rect{230, 0, 60, 15}, 255, 255, 255), 20);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 20, 320, 175}, 255, 255, 255), 0);
}

namespace {

// The width of what is drawn in a box on white: that of the text expected
// there, not just any ink.
int inkWidth(SDL_Surface* surface, const SDL_Rect& box)
{
    int first = -1, last = -1;
    for (int x = box.x; x < box.x + box.w; ++x)
        if (pixelsDifferentFrom(surface, SDL_Rect{Sint16(x), box.y, 1, box.h}, 255, 255, 255) > 0) {
            first = first < 0 ? x : first;
            last = x;
        }
    return first < 0 ? 0 : last - first + 1;
}

int textWidth(const std::string& text)
{
    int w = 0, h = 0;
    TTF_SizeUTF8(testFonts().text, text.c_str(), &w, &h);
    return w;
}

} // namespace

TEST_F(ProgramLoop, StartupPictureCarriesVersionAndAuthorship)
{
    writeImage("media/splash.png", 320, 240, 255, 255, 255);
    writeSamplePackage("maps/alpha/", "Alpha", false); // no "where packages go" message
    start(false);
    fill(testScreen(), 0, 0, 255);
    program->pass();
    EXPECT_NEAR(inkWidth(testScreen(), SDL_Rect{0, 0, 320, 20}), textWidth(std::string("Ver. ") + Program::version), 3);
    EXPECT_NEAR(inkWidth(testScreen(), SDL_Rect{0, 196, 320, 16}), textWidth(Program::authorship), 3);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 30, 320, 160}, 255, 255, 255), 0);
}

TEST_F(ProgramLoop, SettingsFileIsRewrittenOnlyAfterAChange)
{
    const std::string shipped = readFile("tessel.conf");
    {
        start(false);
        events.quit();
        program->run();
        program.reset();
    }
    EXPECT_EQ(readFile("tessel.conf"), shipped);
    EXPECT_FALSE(fileExists("tessel.conf~"));
    {
        start(false);
        ASSERT_TRUE(program->settings.changeValue("fps", 50, 0));
        events.quit();
        program->run();
        program.reset();
    }
    EXPECT_EQ(readFile("tessel.conf~"), shipped);
    ConfParser reread("tessel.conf", 1);
    int fps = 0;
    ASSERT_TRUE(reread.intValue("fps", &fps));
    EXPECT_EQ(fps, 50);
    EXPECT_EQ(reread.parameters.size(), ConfParser("tessel.conf~", 1).parameters.size());
}

TEST_F(ProgramLoop, PansAnOpenMapByTheFrameTime)
{
    writeFile("tessel.conf", "fps=25\nmap_move_speed=100\n");
    mkdir("maps", 0755);
    mkdir("maps/a", 0755);
    writeFile("maps/a/map.conf", "api=google\npacked=no\ntype=sat\nzoom=10\nzoom_actual=10\n"
                                 "begin_x=0\nbegin_y=0\nend_x=20\nend_y=20\npos_x=5\npos_y=5\nmove_x=200\nmove_y=200\n");
    start(false);
    program->panning.x = 1;
    program->pass(); // no package yet: nothing moves, nothing breaks
    ASSERT_TRUE(program->map.create(testScreen(), "maps/a/map.conf"));
    const int before = program->map.grid.offsetX;
    program->pass(); // frame time 40 ms at 100 px/s: 4 pixels
    EXPECT_EQ(program->map.grid.offsetX, before + 4);
    program->panning.y = 1;
    // Diagonal: 70 px/s on each axis, 2.8 pixels a frame; each axis keeps
    // its own fraction (in thousandths, 799 a frame), so both take the same
    // steps.
    const auto centre = [this](int* x, int* y) {
        const ViewCentre c = program->map.centre();
        *x = static_cast<int>(c.pixelsX(256));
        *y = static_cast<int>(c.pixelsY(256));
    };
    for (int step : {2, 3, 3, 3, 2}) {
        int x0, y0, x1, y1;
        centre(&x0, &y0);
        program->pass();
        centre(&x1, &y1);
        EXPECT_EQ(x1 - x0, step);
        EXPECT_EQ(y1 - y0, step);
    }
}

TEST_F(ProgramLoop, FirstStateShowsTheToolbarAndNoMenu)
{
    start(false);
    EXPECT_FALSE(program->menu.visible);
    EXPECT_TRUE(program->toolBar.visible);
    ASSERT_EQ(program->toolBar.icons.size(), 10u);
    int disabled = 0;
    for (const ToolBarIcon& icon : program->toolBar.icons) {
        disabled += icon.disabled ? 1 : 0;
        EXPECT_NE(icon.image, nullptr) << icon.text;
        EXPECT_NE(icon.activeImage, nullptr) << icon.text;
        EXPECT_NE(icon.disabledImage, nullptr) << icon.text;
    }
    EXPECT_EQ(disabled, 7);
    for (int index : {ToolAction::zoomIn, ToolAction::zoomOut, ToolAction::save, ToolAction::mapOptions, ToolAction::follow,
                      ToolAction::search, ToolAction::mark})
        EXPECT_TRUE(program->toolBar.findIcon(index)->disabled);
    EXPECT_EQ(program->toolBar.selectedIcon()->text, "Open map package") << "the first enabled icon";

    fill(testScreen(), 255, 0, 255);
    program->pass();
    // The strip, the selected icon's active look and its name are drawn; the
    // start-up picture fills the rest of the screen.
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 0, 320, 240}, 255, 0, 255), 320 * 240);
    const SDL_Rect openIcon{47, 223, 16, 16};
    int amber = 0;
    for (int y = openIcon.y; y < openIcon.y + openIcon.h; ++y)
        for (int x = openIcon.x; x < openIcon.x + openIcon.w; ++x) {
            Uint8 r, g, b;
            pixelAt(testScreen(), x, y, &r, &g, &b);
            amber += r > 200 && g > 150 && b < 100;
        }
    EXPECT_GT(amber, 20) << "the active look is amber";
    const SDL_Rect nameBox{180, 222, 118, 17};
    Uint8 br, bg, bb;
    pixelAt(testScreen(), 297, 238, &br, &bg, &bb);
    EXPECT_GT(pixelsDifferentFrom(testScreen(), nameBox, br, bg, bb), 30) << "the icon's name";
}

TEST_F(ProgramLoop, AFailedWriteOfTheSettingsAtTheEndIsReported)
{
    start(false);
    ASSERT_TRUE(program->settings.changeValue("fps", 15, 0));
    ASSERT_EQ(mkdir("tessel.conf.new", 0755), 0); // in the way of the new file
    testing::internal::CaptureStderr();
    program.reset();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot write tessel.conf"), std::string::npos) << said;
    rmdir("tessel.conf.new");
}

TEST(BatterySetting, AutoShowsTheSymbolOnlyWhereABatteryIsFound)
{
    TempDir dir;
    mkdir("supplies", 0755);
    mkdir("supplies/AC", 0755);
    writeFile("supplies/AC/type", "Mains\n");
    EXPECT_FALSE(Battery::found(dir.path("supplies")));
    mkdir("supplies/BAT0", 0755);
    writeFile("supplies/BAT0/type", "Battery\n");
    writeFile("supplies/BAT0/present", "0\n");
    EXPECT_FALSE(Battery::found(dir.path("supplies")));
    writeFile("supplies/BAT0/present", "1\n");
    EXPECT_TRUE(Battery::found(dir.path("supplies")));

    for (bool found : {false, true})
        for (const char* value : {"auto", "yes", "no", static_cast<const char*>(nullptr)}) {
            writeFile("tessel.conf", value ? std::string("show_battery=") + value + "\n" : "");
            Settings settings;
            settings.batteryFound = found;
            settings.readFrom(ConfParser("tessel.conf", 1));
            const bool expected = value && std::string(value) != "auto" ? std::string(value) == "yes" : found;
            EXPECT_EQ(settings.showBattery, expected) << (value ? value : "absent") << " found " << found;
        }
}
