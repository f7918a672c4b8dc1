#include "Battery.h"
#include "FPS.h"
#include "Notification.h"
#include "Packages.h"
#include "Splash.h"
#include "TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>


class Widgets : public ::testing::Test {
protected:
    TempDir dir;
    FakeClock clock;
    FPS fps{&clock};
    SDL_Surface* screen = testScreen();
};

TEST_F(Widgets, NotificationShowsForItsTime)
{
    writeImage("bg.png", 213, 25, 0, 0, 128);
    Notification n(screen, &fps);
    n.bgFormat(SDL_Rect{107, 0, 213, 25}, "bg.png", SDL_Rect{115, 0, 200, 17}, 18, testFonts().text,
               SDL_Color{255, 191, 0, 0});
    fill(screen, 0, 0, 0);
    n.draw(true);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 320, 240}, 0, 0, 0), 0) << "idle";
    n.setBg("", 1500);
    n.draw(true);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 320, 240}, 0, 0, 0), 0) << "empty message";

    n.setBg("Position saved", 1500);
    clock.advance(1499);
    n.draw(true);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{107, 0, 213, 25}, 0, 0, 0), 213 * 25) << "background drawn";
    EXPECT_GT(pixelsDifferentFrom(screen, SDL_Rect{115, 0, 200, 17}, 0, 0, 128), 30) << "text drawn";
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 25, 320, 215}, 0, 0, 0), 0);
    clock.advance(1);
    fill(screen, 0, 0, 0);
    n.draw(true);
    EXPECT_TRUE(n.bgText.empty());
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 320, 240}, 0, 0, 0), 0);

    Notification noImage(screen, &fps);
    noImage.bgFormat(SDL_Rect{107, 0, 213, 25}, "missing.png", SDL_Rect{115, 0, 200, 17}, 18, testFonts().text,
                     SDL_Color{255, 191, 0, 0});
    noImage.setBg("Saved", 100);
    noImage.draw(false);
    EXPECT_GT(pixelsDifferentFrom(screen, SDL_Rect{115, 0, 200, 17}, 0, 0, 0), 10) << "text without its image";

    // Too long for its box: wrapped on a plate across the top until dismissed,
    // as many lines as fit above the toolbar.
    n.wrapFormat(SDL_Color{30, 34, 42, 0}, SDL_Color{161, 126, 18, 0}, 60);
    n.setBg("Track damaged: " + std::string(200, 'x') + " end", 1500);
    ASSERT_TRUE(n.waiting());
    EXPECT_EQ(n.wrapped.size(), 3u);
    EXPECT_EQ(n.wrapped.back().substr(n.wrapped.back().size() - 3), "\xe2\x80\xa6");
    const SDL_Rect plate = n.extent();
    EXPECT_EQ(plate.w, 320);
    EXPECT_LE(plate.h, 60);
    clock.advance(Notification::readMs - 1);
    fill(screen, 0, 0, 0);
    n.draw(true);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 320, 240}, 0, 0, 0), 320 * plate.h);
    n.dismiss();
    EXPECT_TRUE(n.bgText.empty());
    EXPECT_FALSE(n.waiting());

    // A notice nobody asked for never waits for a key; one told meanwhile
    // follows it, and an answer to the user goes first.
    n.tell("No gpsd at " + std::string(60, 'h') + ":2947", 3000);
    EXPECT_FALSE(n.wrapped.empty());
    EXPECT_FALSE(n.waiting());
    n.tell("Map packages go in /home", 3000);
    n.tell("Map packages go in /home", 3000);
    n.setBg("Position saved", 1500);
    clock.advance(1500);
    n.update();
    EXPECT_EQ(n.bgText, "Map packages go in /home");
    clock.advance(3000);
    n.update();
    EXPECT_TRUE(n.bgText.empty()) << "told once";
}

TEST_F(Widgets, SplashFitsLargerAndSmallerPictures)
{
    writeImage("big.png", 400, 300, 200, 0, 0);
    writeImage("small.png", 200, 100, 0, 200, 0);
    Splash big("big.png", screen, &clock);
    expectRect(big.sourceBox, 40, 30, 320, 240);
    expectRect(big.screenBox, 0, 0, 320, 240);
    Splash small("small.png", screen, &clock);
    expectRect(small.sourceBox, 0, 0, 200, 100);
    expectRect(small.screenBox, 60, 70, 200, 100);

    fill(screen, 0, 0, 0);
    small.show(0);
    EXPECT_TRUE(clock.delays.empty());
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{60, 70, 200, 100}, 0, 200, 0), 0);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 320, 70}, 0, 0, 0), 0);
    big.show(100);
    EXPECT_EQ(clock.delays, std::vector<Uint32>{100});
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 320, 240}, 200, 0, 0), 0);

    Splash missing("none.png", screen, &clock);
    expectRect(missing.screenBox, 0, 0, 320, 240);
}

TEST_F(Widgets, SplashTextStaysInThePicture)
{
    writeImage("p.png", 320, 240, 0, 0, 0);
    Splash splash("p.png", screen, &clock);
    TTF_Font* font = testFonts().text;
    int w, h;
    const std::string text = "Tessel offline maps, free software";
    TTF_SizeUTF8(font, text.c_str(), &w, &h);
    splash.drawText(SDL_Rect{61, 196, 256, 20}, 36, font, true, SDL_Color{255, 191, 0, 0}, text);
    const std::string wide = "A line far wider than its little box";
    splash.drawText(SDL_Rect{10, 50, 100, 20}, 0x06, font, false, SDL_Color{255, 255, 255, 0}, wide);
    fill(screen, 0, 0, 255);
    splash.show(0);
    // Right and bottom: the text ends at the box's right and bottom edges.
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{61, 196, static_cast<Uint16>(256 - w), 20}, 0, 0, 0), 0);
    EXPECT_GT(pixelsDifferentFrom(screen, SDL_Rect{static_cast<Sint16>(317 - w), static_cast<Sint16>(216 - h),
                                                   static_cast<Uint16>(w), static_cast<Uint16>(h)},
                                  0, 0, 0),
              50);
    // Wider than its box: starts at the box's x and runs past its end.
    EXPECT_GT(pixelsDifferentFrom(screen, SDL_Rect{10, 50, 20, 20}, 0, 0, 0), 5);
    EXPECT_GT(pixelsDifferentFrom(screen, SDL_Rect{110, 50, 60, 20}, 0, 0, 0), 5);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 50, 10, 20}, 0, 0, 0), 0);
}

TEST_F(Widgets, BatteryStepsEveryTenSeconds)
{
    const Uint8 shades[4] = {40, 80, 120, 160};
    const char* names[4] = {"full.png", "mid.png", "low.png", "empty.png"};
    for (int i = 0; i < 4; ++i)
        writeImage(names[i], 18, 10, shades[i], 0, 0);
    Battery battery(screen, &fps, SDL_Rect{299, 3, 18, 10}, names[0], names[1], names[2], names[3]);
    auto shown = [&] {
        battery.draw();
        Uint8 r, g, b;
        pixelAt(screen, 305, 8, &r, &g, &b);
        return r;
    };
    auto shade = [&](int level) {
        Uint8 r, g, b;
        SDL_GetRGB(SDL_MapRGB(screen->format, shades[level], 0, 0), screen->format, &r, &g, &b);
        return r;
    };
    EXPECT_EQ(shown(), shade(2)) << "the first draw steps to low";
    clock.advance(9999);
    EXPECT_EQ(shown(), shade(2));
    clock.advance(1);
    EXPECT_EQ(shown(), shade(1));
    clock.advance(10000);
    EXPECT_EQ(shown(), shade(0));
    clock.advance(10000);
    EXPECT_EQ(shown(), shade(3)) << "full is followed by empty";

    Battery blind(screen, &fps, SDL_Rect{0, 0, 18, 10}, "a", "b", "c", "d");
    fill(screen, 0, 0, 0);
    blind.draw();
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 320, 240}, 0, 0, 0), 0);
}
