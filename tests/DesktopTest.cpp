// The desktop side: the command line, pointer positions through a scaled
// window, dragging, wheel zoom, and the user directory of an installed copy.
#include "CanvasScaler.h"
#include "CommandLine.h"
#include "Display.h"
#include "Placement.h"
#include "SdlEventSource.h"
#include "Packages.h"
#include "ProgramDriver.h"
#include "TestSupport.h"
#include "UserDirectory.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

bool parse(std::vector<const char*> args, CommandLine* line, std::string* error)
{
    args.insert(args.begin(), "tessel");
    return line->parse(static_cast<int>(args.size()), args.data(), error);
}

} // namespace

TEST(CommandLineTest, ReadsGoodOptionsAndRefusesBadOnes)
{
    CommandLine line;
    std::string error;
    ASSERT_TRUE(parse({"--scale", "2", "--fullscreen", "--dir=/tmp/x", "--version"}, &line, &error)) << error;
    EXPECT_EQ(line.scale, 2);
    EXPECT_TRUE(line.fullscreen);
    EXPECT_EQ(line.dir, "/tmp/x");
    EXPECT_TRUE(line.version);
    CommandLine other;
    ASSERT_TRUE(parse({"--scale=4", "--help", "--gps", "off"}, &other, &error));
    EXPECT_EQ(other.scale, 4);
    EXPECT_EQ(other.gps, "off");
    EXPECT_TRUE(other.help);
    EXPECT_EQ(other.dir, "");

    for (const auto& bad : std::vector<std::vector<const char*>>{
             {"--scale"}, {"--scale", "5"}, {"--scale", "0"}, {"--scale=two"}, {"--dir"}, {"--dir="}, {"--sale", "2"}, {"map"},
             {"--gps"}, {"--gps", "host:99999"}}) {
        CommandLine refused;
        error.clear();
        EXPECT_FALSE(parse(bad, &refused, &error)) << bad[0];
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(error.rfind("tessel: ", 0), 0u) << error;
    }
    EXPECT_NE(CommandLine::usage().find("--scale N"), std::string::npos);
}

TEST(WindowPlacement, FitsTheCanvasAndTakesPositionsBackToIt)
{
    // A window is made to the scale asked for; full screen takes the
    // largest whole scale that fits, centred.
    const Placement window = Placement::fit(640, 480, 320, 240, 2, false);
    EXPECT_EQ(window.scale, 2);
    EXPECT_EQ(window.offsetX, 0);
    EXPECT_EQ(window.offsetY, 0);
    const Placement wide = Placement::fit(1920, 1080, 320, 240, 1, true);
    EXPECT_EQ(wide.scale, 4);
    EXPECT_EQ(wide.offsetX, 320);
    EXPECT_EQ(wide.offsetY, 60);
    EXPECT_EQ(Placement::fit(300, 200, 320, 240, 3, true).scale, 1) << "never below 1";

    for (int scale = 1; scale <= 4; ++scale)
        for (int offset : {0, 37}) {
            const Placement p{scale, offset, offset / 2};
            for (int k = 0; k < scale; ++k) {
                int x = offset + 55 * scale + k, y = offset / 2 + 231 * scale + k;
                p.toCanvas(&x, &y);
                EXPECT_EQ(x, 55);
                EXPECT_EQ(y, 231);
            }
            int x = offset - 1, y = 0;
            p.toCanvas(&x, &y);
            EXPECT_LT(x, 0) << "left of the picture stays outside it";
        }

    // The event source hands the program canvas positions, signed.
    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.x = 2 * 55 + 1;
    press.button.y = 2 * 231;
    SdlEventSource::toCanvas(Placement{2, 0, 0}, &press);
    EXPECT_EQ(press.button.x, 55);
    EXPECT_EQ(press.button.y, 231);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 10;
    SdlEventSource::toCanvas(wide, &motion);
    EXPECT_EQ(static_cast<Sint16>(motion.motion.x), -78);
}

class Desktop : public ::testing::Test, public ProgramDriver {
protected:
    void SetUp() override
    {
        dir.layRunDir();
        writeSamplePackage("maps/alpha/", "Alpha", false);
        start();
    }
    void open()
    {
        ASSERT_TRUE(program->mapUI.loadPackage(0));
        program->pass();
    }
    // World pixel (at the current level) under screen point (x, y).
    long long worldX(int x) const { return program->map.tiles[0].x * 256LL + program->map.grid.offsetX + x; }
    long long worldY(int y) const { return program->map.tiles[0].y * 256LL + program->map.grid.offsetY + y; }
};

TEST_F(Desktop, DraggingMovesTheMapByTheDistanceAndTouchesNothing)
{
    open();
    ASSERT_TRUE(program->toolBar.visible);
    const long long x0 = worldX(160), y0 = worldY(120);
    events.press(160, 120);
    events.motion(162, 121); // within the threshold: not yet a drag
    events.motion(170, 125);
    events.motion(200, 140);
    events.press(200, 140, false);
    run();
    EXPECT_EQ(worldX(200), x0) << "the point pressed stays under the pointer";
    EXPECT_EQ(worldY(140), y0);
    EXPECT_TRUE(program->toolBar.visible) << "no touch after a drag (a touch would hide the toolbar)";

    events.press(160, 120);
    events.motion(163, 122);
    events.press(163, 122, false);
    run();
    EXPECT_EQ(worldX(200), x0) << "a small wobble is a touch, not a drag";
    EXPECT_FALSE(program->toolBar.visible);
}

TEST_F(Desktop, TheWheelZoomsAboutThePointer)
{
    open();
    const long long x0 = worldX(100), y0 = worldY(80);
    events.press(100, 80, true, SDL_BUTTON_WHEELDOWN);
    events.press(100, 80, false, SDL_BUTTON_WHEELDOWN);
    run();
    ASSERT_EQ(program->map.api->zoomValue(), 11);
    EXPECT_NEAR(worldX(100), x0 / 2, 1);
    EXPECT_NEAR(worldY(80), y0 / 2, 1);
    events.press(100, 80, true, SDL_BUTTON_WHEELUP);
    run();
    ASSERT_EQ(program->map.api->zoomValue(), 10);
    EXPECT_NEAR(worldX(100), x0, 2);
    EXPECT_NEAR(worldY(80), y0, 2);
}

TEST(UserDirectoryTest, FirstStartLaysOutAndLaterStartsKeepTheUsersFiles)
{
    TempDir dir;
    mkdir("share", 0755);
    mkdir("share/media", 0755);
    mkdir("share/lang", 0755);
    writeFile("share/tessel.conf", "fps=30\n");
    const std::string data = dir.path("share");
    std::string chosen, error;
    EXPECT_FALSE(UserDirectory::choose(dir.path("nowhere"), data, &chosen, &error));
    EXPECT_NE(error.find("nowhere"), std::string::npos);

    setenv("XDG_DATA_HOME", dir.path("xdg").c_str(), 1);
    ASSERT_TRUE(UserDirectory::choose("", data, &chosen, &error));
    EXPECT_EQ(chosen, dir.path("xdg") + "/tessel");
    ASSERT_TRUE(UserDirectory::layOut(chosen, data, &error)) << error;
    EXPECT_EQ(readFile(chosen + "/tessel.conf"), "fps=30\n");
    for (const char* sub : {"/maps", "/tracks", "/media", "/lang"})
        EXPECT_TRUE(fileExists(chosen + sub)) << sub;

    writeFile(chosen + "/tessel.conf", "fps=15\n");
    writeFile(chosen + "/maps/mine", "x");
    ASSERT_TRUE(UserDirectory::layOut(chosen, data, &error));
    EXPECT_EQ(readFile(chosen + "/tessel.conf"), "fps=15\n");
    EXPECT_EQ(readFile(chosen + "/maps/mine"), "x");

    // The installation moves: the links follow it; a real directory stays.
    ASSERT_EQ(rename("share", "moved"), 0);
    writeFile("moved/lang/english.conf", "x=y\n");
    ASSERT_TRUE(UserDirectory::layOut(chosen, dir.path("moved"), &error)) << error;
    EXPECT_EQ(readFile(chosen + "/lang/english.conf"), "x=y\n");
    unlink((chosen + "/media").c_str());
    mkdir((chosen + "/media").c_str(), 0755);
    writeFile(chosen + "/media/own.png", "mine");
    ASSERT_TRUE(UserDirectory::layOut(chosen, dir.path("moved"), &error)) << error;
    EXPECT_EQ(readFile(chosen + "/media/own.png"), "mine");

    writeFile("tessel.conf", "");
    ASSERT_TRUE(UserDirectory::choose("", data, &chosen, &error));
    EXPECT_EQ(chosen, ".") << "a run directory laid by hand is used as it is";
    ASSERT_TRUE(UserDirectory::choose("", "", &chosen, &error));
    EXPECT_EQ(chosen, ".");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(UserDirectory::installedData("/no/such/bin/tessel"), "");
}

TEST(FirstStart, WithoutPackagesSaysWhereTheyGo)
{
    TempDir dir;
    dir.layRunDir();
    FakeClock clock;
    ScriptedEvents events;
    Program program(testScreen(), testFonts(), &events, &clock);
    EXPECT_EQ(program.notification.bgText.rfind("Map packages go in /", 0), 0u) << program.notification.bgText;
    EXPECT_EQ(program.notification.bgText.substr(program.notification.bgText.size() - 5), "/maps");
}

// The window's pixels against SDL's own conversion of the canvas, each a
// square at its place, and nothing outside the box touched.
TEST(DisplayScale, ConvertsAndScalesOnlyTheBoxAsSdlConverts)
{
    struct Format {
        int bits;
        Uint32 r, g, b;
    };
    const Format formats[] = {{16, 0xf800, 0x07e0, 0x001f}, {16, 0x7c00, 0x03e0, 0x001f},
                              {32, 0xff0000, 0xff00, 0xff}, {32, 0xff, 0xff00, 0xff0000},
                              {24, 0xff0000, 0xff00, 0xff}};
    SDL_Surface* canvas = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            static_cast<Uint16*>(canvas->pixels)[y * canvas->pitch / 2 + x] =
                static_cast<Uint16>((y * 320 + x) * 40503u >> 3);
    const SDL_Rect box{100, 50, 40, 30};
    for (const Format& f : formats) {
        SDL_Surface* expected = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, f.bits, f.r, f.g, f.b, 0);
        SDL_BlitSurface(canvas, nullptr, expected, nullptr);
        CanvasScaler scaler;
        for (int scale : {1, 2, 3}) {
            SDL_Surface* window = SDL_CreateRGBSurface(SDL_SWSURFACE, 320 * scale + 10, 240 * scale + 6, f.bits, f.r,
                                                       f.g, f.b, 0);
            ASSERT_TRUE(scaler.prepare(window->format));
            std::memset(window->pixels, 0x5a, static_cast<std::size_t>(window->pitch * window->h));
            scaler.copy(canvas, box, window, scale, 5, 3);
            const int n = f.bits / 8;
            int wrong = 0;
            for (int wy = 0; wy < window->h; ++wy)
                for (int wx = 0; wx < window->w; ++wx) {
                    const Uint8* got = static_cast<Uint8*>(window->pixels) + wy * window->pitch + wx * n;
                    const int x = (wx - 5) / scale, y = (wy - 3) / scale;
                    const bool inside = wx >= 5 && wy >= 3 && x >= box.x && x < box.x + box.w && y >= box.y &&
                                        y < box.y + box.h;
                    const Uint8 untouched[4] = {0x5a, 0x5a, 0x5a, 0x5a};
                    const Uint8* want = inside ? static_cast<Uint8*>(expected->pixels) + y * expected->pitch + x * n
                                               : untouched;
                    wrong += std::memcmp(got, want, static_cast<std::size_t>(n)) != 0;
                }
            EXPECT_EQ(wrong, 0) << f.bits << " bits, red " << std::hex << f.r << ", scale " << scale;
            SDL_FreeSurface(window);
        }
        SDL_FreeSurface(expected);
    }
    SDL_FreeSurface(canvas);
}
