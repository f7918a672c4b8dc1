// The whole program under random input: keys of every focus and others,
// presses and releases anywhere (off the screen too), motion, Ctrl+C and
// window closes, the program started again whenever it quits, over sound
// and damaged packages. Afterwards every settings file and description
// must read back whole. TESSEL_SOAK_EVENTS sets the count (scripts/soak.sh
// runs 100 000 under the sanitizers).
#include "MapAPI.h"
#include "Packages.h"
#include "ProgramDriver.h"
#include "TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const SDLKey keys[] = {SDLK_UP,       SDLK_DOWN,     SDLK_LEFT,  SDLK_RIGHT,    SDLK_RETURN,   SDLK_ESCAPE,
                       SDLK_BACKSPACE, SDLK_SPACE,   SDLK_TAB,   SDLK_PLUS,     SDLK_MINUS,    SDLK_KP_PLUS,
                       SDLK_KP_MINUS, SDLK_PAGEUP,   SDLK_PAGEDOWN, SDLK_HOME,  SDLK_END,      SDLK_LSHIFT,
                       SDLK_RSHIFT,   SDLK_LCTRL,    SDLK_F1,    SDLK_F11,      SDLK_F12,      SDLK_a,
                       SDLK_b,        SDLK_l,        SDLK_r,     SDLK_s,        SDLK_x,        SDLK_y,
                       SDLK_q,        SDLK_1,        SDLK_KP1,   SDLK_KP5,      SDLK_KP9,      SDLK_DELETE};

int eventCount()
{
    const char* text = std::getenv("TESSEL_SOAK_EVENTS");
    const int n = text ? std::atoi(text) : 0;
    return n > 0 ? n : 20000;
}

void writeDamagedPackages()
{
    writeSamplePackage("maps/cut/", "Cut", true);
    ASSERT_EQ(truncate("maps/cut/sat/10.map", 900), 0);
    writeSamplePackage("maps/extreme/", "Extreme", false);
    writeFile("maps/extreme/map.conf",
              "caption=\"Extreme \"values\"\"\napi=google\npacked=no\ntype=sat\noverlay=wat\nzoom=10\nzoom=11\n"
              "zoom=-2147483648\nzoom_actual=10\nbegin_x=-2147483648\nbegin_y=0\nend_x=2147483647\nend_y=4\n"
              "pos_x=2147483647\npos_y=-2147483648\nmove_x=2000000000\nmove_y=-2000000000\n");
    mkdir("maps/garbage", 0755);
    std::string noise;
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i)
        noise += static_cast<char>(random() % 256);
    writeFile("maps/garbage/map.conf", "api=seznam\npacked=yes\ntype=x\nzoom=3\nzoom_actual=3\n" + noise);
    mkdir("maps/fifo", 0755);
    ASSERT_EQ(mkfifo("maps/fifo/map.conf", 0644), 0);
    writeSamplePackage("maps/badtiles/", "Bad tiles", false);
    for (const char* tile : {"maps/badtiles/sat/v=sat&x=1&y=1&zoom=10", "maps/badtiles/sat/v=sat&x=2&y=1&zoom=10"})
        writeFile(tile, "\x89PNG\r\n\x1a\nnot really");
}

void queueRandomEvent(std::mt19937& random, ScriptedEvents* events)
{
    const int kind = static_cast<int>(random() % 1000);
    const SDLMod mods[] = {KMOD_NONE, KMOD_NONE, KMOD_NONE, KMOD_LSHIFT, KMOD_LCTRL, KMOD_LALT};
    if (kind < 1) {
        events->quit();
    } else if (kind < 2) {
        events->key(SDLK_c, true, KMOD_LCTRL);
    } else if (kind < 500) {
        // Arrows and RETURN most often, so that pages are walked and
        // packages opened.
        const std::size_t pick = random() % (2 * (sizeof keys / sizeof keys[0]));
        const SDLKey key = keys[pick < sizeof keys / sizeof keys[0] ? pick : pick % 5];
        events->key(key, random() % 3 != 0, mods[random() % 6]);
    } else if (kind < 850) {
        const int x = static_cast<int>(random() % 440) - 60;
        const int y = static_cast<int>(random() % 360) - 60;
        const Uint8 buttons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_WHEELUP,
                                 SDL_BUTTON_WHEELDOWN};
        events->press(x, y, random() % 2 == 0, buttons[random() % 5]);
    } else {
        events->motion(static_cast<int>(random() % 440) - 60, static_cast<int>(random() % 360) - 60);
    }
}

// A file that reads back whole: no line lost or made up when it is read and
// written again, and nothing left half-saved beside it.
void expectWhole(const std::string& file, std::size_t minEntries)
{
    ConfParser conf(file, 1);
    EXPECT_GE(conf.parameters.size(), minEntries) << file;
    EXPECT_FALSE(fileExists(file + ".new")) << file;
    std::ostringstream written;
    conf.write(written);
    std::istringstream again(written.str());
    ConfParser reread("/nonexistent/none.conf", 1);
    reread.read(again);
    ASSERT_EQ(reread.parameters.size(), conf.parameters.size()) << file;
    for (std::size_t i = 0; i < conf.parameters.size(); ++i)
        EXPECT_EQ(reread.parameters[i].value, conf.parameters[i].value) << file << " line " << i;
}

} // namespace

TEST(Soak, RandomInputNeverLosesAFile)
{
    ProgramDriver driver;
    driver.dir.layRunDir();
    writeSamplePackage("maps/alpha/", "Alpha", false);
    writeSamplePackage("maps/beta/", "Beta", true);
    writeDamagedPackages();
    const std::size_t settingsEntries = ConfParser("tessel.conf", 1).parameters.size();

    std::mt19937 random(20261207);
    std::unique_ptr<Program>& program = driver.program;
    int starts = 0, passesWithMap = 0, passes = 0;
    const int total = eventCount();
    for (int done = 0; done < total; ++done) {
        if (!program) {
            driver.start();
            ++starts;
        }
        queueRandomEvent(random, &driver.events);
        bool running = true;
        while (running && !driver.events.queue.empty()) {
            running = program->pass();
            ++passes;
            passesWithMap += program->map.loaded() ? 1 : 0;
        }
        driver.clock.advance(static_cast<Uint32>(random() % 200));
        if (!running) {
            driver.events.queue.clear();
            program.reset();
        }
    }
    program.reset();
    std::printf("%d events, %d passes, %d with a package open, %d starts\n", total, passes, passesWithMap, starts);
    EXPECT_GT(starts, 1) << "the program quit and started again";
    EXPECT_GT(passesWithMap, passes / 10) << "packages were opened";

    expectWhole("tessel.conf", settingsEntries);
    for (const char* package : {"alpha", "beta", "cut", "extreme", "badtiles"}) {
        const std::string file = std::string("maps/") + package + "/map.conf";
        expectWhole(file, 10);
        EXPECT_TRUE(MapAPI::hasRequiredKeys(ConfParser(file, 1))) << file;
    }
}
