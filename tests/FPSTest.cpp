#include "FPS.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(FPSLimit, SetLimitGivesTheStartingFrameTime)
{
    FakeClock clock;
    FPS fps(&clock);
    fps.setLimit(0);
    EXPECT_EQ(fps.frameTime, 5u);
    fps.setLimit(30);
    EXPECT_EQ(fps.frameTime, 33u);
    fps.setLimit(-10); // a negative cap means no cap
    EXPECT_EQ(fps.limit, 0);
    EXPECT_EQ(fps.frameTime, 5u);
}

TEST(FPSLimit, RefreshWaitsOnlyWhileFasterThanTheCap)
{
    FakeClock clock;
    FPS fps(&clock);
    fps.setLimit(30);

    clock.advance(20);
    fps.refresh();
    EXPECT_EQ(clock.delays, std::vector<Uint32>{13});
    EXPECT_EQ(fps.frameTime, 33u);

    clock.delays.clear();
    clock.advance(33); // 30.3 frames per second: still above the cap, waits 0
    fps.refresh();
    EXPECT_TRUE(clock.delays.empty());
    EXPECT_EQ(fps.frameTime, 33u);

    clock.advance(34);
    fps.refresh();
    EXPECT_TRUE(clock.delays.empty());
    EXPECT_EQ(fps.frameTime, 34u);

    fps.refresh(); // a frame of 0 ms waits the whole frame
    EXPECT_EQ(clock.delays, std::vector<Uint32>{33});
}

TEST(FPSLimit, NoCapNeverWaits)
{
    FakeClock clock;
    FPS fps(&clock);
    fps.setLimit(-1);
    fps.refresh();
    clock.advance(2);
    fps.refresh();
    EXPECT_TRUE(clock.delays.empty());
    EXPECT_EQ(fps.frameTime, 2u);
}

TEST(FPSMove, WholeUnitsAndCarriedFractions)
{
    FakeClock clock;
    FPS fps(&clock);
    fps.frameTime = 40;
    int carry = 0;
    EXPECT_EQ(fps.moveDistance(100, &carry), 4);
    EXPECT_EQ(carry, 0);
    EXPECT_EQ(fps.moveDistance(25, &carry), 1);
    EXPECT_EQ(carry, 0);

    fps.frameTime = 33;
    EXPECT_EQ(fps.moveDistance(25, &carry), 0);
    EXPECT_EQ(carry, 825);
    EXPECT_EQ(fps.moveDistance(25, &carry), 1);
    EXPECT_EQ(carry, 650);

    int back = 0;
    EXPECT_EQ(fps.moveDistance(-25, &back), 0);
    EXPECT_EQ(back, 825);
    EXPECT_EQ(fps.moveDistance(-25, &back), -1);
    EXPECT_EQ(back, 650);
    fps.frameTime = 40;
    int c = 0;
    EXPECT_EQ(fps.moveDistance(-100, &c), -4);
}

TEST(FPSMove, HoldPausesUntilItsTick)
{
    FakeClock clock(5000);
    FPS fps(&clock);
    fps.frameTime = 40;
    int carry = fps.pauseCarry(500);
    EXPECT_EQ(carry, -5500);
    EXPECT_EQ(fps.moveDistance(100, &carry), 0);
    EXPECT_EQ(carry, -5500);
    clock.advance(499);
    EXPECT_EQ(fps.moveDistance(100, &carry), 0);
    clock.advance(1);
    EXPECT_EQ(fps.moveDistance(100, &carry), 4);
    EXPECT_EQ(carry, 0);
}

TEST(FPSMove, ZeroFrameTimeMovesNothing)
{
    FakeClock clock;
    FPS fps(&clock);
    fps.frameTime = 0;
    int carry = 300;
    EXPECT_EQ(fps.moveDistance(1000, &carry), 0);
    EXPECT_EQ(carry, 300);
}

TEST(FPSDraw, RateTextUpdatesThreeTimesASecond)
{
    FakeClock clock;
    FPS fps(&clock);
    SDL_Surface* screen = testScreen();
    fill(screen, 255, 255, 255);
    fps.draw(true); // no font yet: nothing
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 320, 240}, 255, 255, 255), 0);

    fps.setText(screen, SDL_Rect{230, 0, 60, 15}, 12, testFonts().small, SDL_Color{0, 0, 0, 0});
    fps.frameTime = 34;
    fps.draw(true);
    EXPECT_FLOAT_EQ(fps.shownRate, 1000.0f / 34);
    EXPECT_GT(pixelsDifferentFrom(screen, SDL_Rect{230, 0, 60, 15}, 255, 255, 255), 20);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 16, 320, 224}, 255, 255, 255), 0);
    EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{0, 0, 229, 15}, 255, 255, 255), 0);

    fps.frameTime = 20;
    clock.advance(332);
    fps.draw(false);
    EXPECT_FLOAT_EQ(fps.shownRate, 1000.0f / 34);
    clock.advance(1);
    fps.draw(false);
    EXPECT_FLOAT_EQ(fps.shownRate, 50.0f);
}
