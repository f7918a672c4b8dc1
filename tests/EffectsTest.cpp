#include "Effects.h"
#include "FPS.h"
#include "Mouse.h"
#include "TestSupport.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>

namespace {

SDL_Rect rect(int x, int y, int w, int h)
{
    return SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), static_cast<Uint16>(h)};
}


} // namespace

// Content placed in its box by the flags; content larger than the box is
// clipped to it from the top left whatever the flags.
TEST(EffectsAlign, PlacesAndClipsTheContent)
{
    const struct {
        int flags, w, h;
        SDL_Rect box, placed;
    } cases[] = {
        {0x02, 50, 10, rect(10, 0, 100, 20), rect(35, 0, 50, 10)},
        {0x04, 50, 10, rect(10, 0, 100, 20), rect(60, 0, 50, 10)},
        {0x01, 50, 10, rect(10, 0, 100, 20), rect(10, 0, 50, 10)},
        {0, 50, 10, rect(10, 0, 100, 20), rect(10, 0, 50, 10)},
        {0x10, 10, 13, rect(0, 5, 100, 15), rect(0, 6, 10, 13)},
        {0x20, 10, 13, rect(0, 5, 100, 15), rect(0, 7, 10, 13)},
        {0x01, 130, 14, rect(10, 4, 100, 10), rect(10, 4, 100, 10)},
        {0x02, 130, 14, rect(10, 4, 100, 10), rect(10, 4, 100, 10)},
        {0x04, 130, 14, rect(10, 4, 100, 10), rect(10, 4, 100, 10)},
        {0x12, 130, 14, rect(10, 4, 100, 10), rect(10, 4, 100, 10)},
        {0x24, 130, 14, rect(10, 4, 100, 10), rect(10, 4, 100, 10)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << ", " << c.w << " x " << c.h);
        SDL_Rect source, box = c.box;
        Effects::alignArea(c.flags, c.w, c.h, &source, &box);
        expectRect(box, c.placed.x, c.placed.y, c.placed.w, c.placed.h);
        expectRect(source, 0, 0, c.placed.w, c.placed.h);
    }
    SDL_Rect untouched = rect(1, 2, 3, 4);
    Effects::alignArea(0x12, 10, 10, &untouched, nullptr);
    expectRect(untouched, 1, 2, 3, 4);
}

TEST(EffectsAlign, TextIsMeasuredWithTheFont)
{
    TTF_Font* font = testFonts().text;
    int w, h;
    TTF_SizeUTF8(font, "Zoom in", &w, &h);
    SDL_Rect source;
    SDL_Rect box = rect(125, 222, 173, 17);
    Effects::alignText(17, font, "Zoom in", &source, &box);
    EXPECT_EQ(box.x, 125);
    EXPECT_EQ(box.y, 222 + (17 - h) / 2);
    EXPECT_EQ(box.w, w);
}

class EffectsRolling : public ::testing::Test {
protected:
    // Text that is exactly `extra` pixels wider than the 100-pixel box.
    void SetUp() override
    {
        font = testFonts().text;
        text = "Rolling line of text that is too wide";
        int w, h;
        TTF_SizeUTF8(font, text.c_str(), &w, &h);
        boxWidth = w - 30;
        fps.frameTime = 40; // 25 px/s moves 1 px per frame
    }

    int step()
    {
        SDL_Rect source;
        SDL_Rect box = rect(0, 0, boxWidth, 20);
        Effects::alignTextWithRolling(9, font, text, &source, &box, &fps, &roll);
        clock.advance(40);
        return source.x;
    }

    FakeClock clock;
    FPS fps{&clock};
    TTF_Font* font = nullptr;
    std::string text;
    int boxWidth = 0;
    Effects::Rolling roll;
};

TEST_F(EffectsRolling, RollsForwardPausesAndRollsBack)
{
    std::vector<int> xs;
    for (int i = 0; i < 200; ++i)
        xs.push_back(step());
    EXPECT_EQ(*std::min_element(xs.begin(), xs.end()), 0);
    EXPECT_EQ(*std::max_element(xs.begin(), xs.end()), 30);
    // 500 ms (13 frames of 40 ms) at the start, then 1 px per frame.
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(xs[i], 0) << i;
    EXPECT_EQ(xs[13], 1);
    // Reaches 30 at frame 42, holds for 500 ms, then rolls back to 0.
    EXPECT_EQ(xs[42], 30);
    for (int i = 42; i < 55; ++i)
        EXPECT_EQ(xs[i], 30) << i;
    EXPECT_EQ(xs[55], 29);
    EXPECT_EQ(xs[84], 0);
    for (int i = 84; i < 97; ++i)
        EXPECT_EQ(xs[i], 0) << i;
    EXPECT_EQ(xs[97], 1);
}

TEST_F(EffectsRolling, FittingTextNeverRolls)
{
    boxWidth = 1000;
    int largest = 0;
    for (int i = 0; i < 100; ++i)
        largest = std::max(largest, step());
    EXPECT_EQ(largest, 0);
}

TEST(EffectsDraw, BlitTextPutsTheTextInItsBox)
{
    SDL_Surface* screen = testScreen();
    for (bool blended : {true, false}) {
        fill(screen, 0, 0, 0);
        SDL_Rect source;
        SDL_Rect box = rect(40, 100, 240, 25);
        Effects::alignText(18, testFonts().heading, "Options", &source, &box);
        Effects::blitText(screen, testFonts().heading, "Options", SDL_Color{255, 191, 0, 0}, blended, &source, &box);
        EXPECT_GT(pixelsDifferentFrom(screen, rect(40, 100, 240, 25), 0, 0, 0), 50);
        EXPECT_EQ(pixelsDifferentFrom(screen, rect(0, 0, 320, 100), 0, 0, 0), 0);
        EXPECT_EQ(pixelsDifferentFrom(screen, rect(0, 125, 320, 115), 0, 0, 0), 0);
    }
}

TEST(EffectsDraw, OutlinedTextIsTheTextWithARimOfOnePixel)
{
    SDL_Surface* screen = testScreen();
    for (bool blended : {true, false}) {
        // Dark text over dark ground: only the light rim shows it, and the
        // rim reaches one pixel past the text's box, no further.
        fill(screen, 0, 0, 0);
        SDL_Rect source;
        SDL_Rect box = rect(40, 100, 240, 25);
        Effects::alignText(18, testFonts().heading, "Options", &source, &box);
        Effects::blitOutlinedText(screen, testFonts().heading, "Options", SDL_Color{0, 0, 0, 0},
                                  SDL_Color{255, 255, 255, 0}, blended, source, box);
        const SDL_Rect rim = rect(box.x - 1, box.y - 1, source.w + 2, source.h + 2);
        EXPECT_GT(pixelsDifferentFrom(screen, rim, 0, 0, 0), 50);
        EXPECT_EQ(pixelsDifferentFrom(screen, rect(0, 0, 320, 240), 0, 0, 0), pixelsDifferentFrom(screen, rim, 0, 0, 0));
        // The letters themselves stay dark: white ground shows them.
        fill(screen, 255, 255, 255);
        Effects::blitOutlinedText(screen, testFonts().heading, "Options", SDL_Color{0, 0, 0, 0},
                                  SDL_Color{255, 255, 255, 0}, blended, source, box);
        EXPECT_GT(pixelsDifferentFrom(screen, rim, 255, 255, 255), 50);
    }
}

namespace {
struct Area : Mouse {};
} // namespace

TEST(MouseArea, EdgesAreOutside)
{
    Area a;
    a.area = rect(0, 212, 320, 28);
    EXPECT_FALSE(a.inArea(0, 220));
    EXPECT_FALSE(a.inArea(100, 212));
    EXPECT_TRUE(a.inArea(1, 213));
    EXPECT_TRUE(a.inArea(319, 239));
    EXPECT_FALSE(a.inArea(320, 239));
    EXPECT_FALSE(a.inArea(319, 240));
    int result = 7;
    EXPECT_FALSE(a.click(5, 220, &result));
    EXPECT_EQ(result, 7);
}
