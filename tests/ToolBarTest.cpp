#include "FPS.h"
#include "Packages.h"
#include "TestSupport.h"
#include "ToolBar.h"

#include <gtest/gtest.h>

class ToolBarWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeImage("n.png", 16, 16, 0, 255, 0);
        writeImage("d.png", 16, 16, 96, 96, 96);
        writeImage("a.png", 16, 16, 255, 191, 0);
        bar.area = SDL_Rect{0, 212, 320, 28};
    }

    int add(int column, bool disabled = false, std::string text = "")
    {
        const SDL_Rect box{static_cast<Sint16>(4 + 20 * column), 222, 16, 16};
        return bar.addIcon(box, column, 0, 10 + column, "n.png", "d.png", "a.png", text, disabled);
    }

    // The look drawn for the icon in `column`: 'n', 'd' or 'a'.
    char lookAt(int column)
    {
        Uint8 r, g, b;
        pixelAt(testScreen(), 4 + 20 * column + 8, 230, &r, &g, &b);
        return g > 250 && r == 0 ? 'n' : r > 250 ? 'a' : r > 80 && r < 110 ? 'd' : '?';
    }

    TempDir dir;
    FakeClock clock;
    FPS fps{&clock};
    ToolBar bar{testScreen()};
};

TEST_F(ToolBarWidget, IconsAreSortedAndTheFirstSelected)
{
    EXPECT_EQ(bar.selectedIcon(), nullptr);
    EXPECT_EQ(add(2), 0);
    EXPECT_EQ(bar.selectedIcon()->column, 2);
    EXPECT_EQ(add(0), 1);
    EXPECT_EQ(bar.selectedIcon()->column, 0);
    EXPECT_EQ(add(1), 2);
    EXPECT_EQ(bar.selectedIcon()->column, 0);
    EXPECT_EQ(bar.icons[0].addOrder, 1);
    EXPECT_EQ(bar.icons[1].addOrder, 2);
    EXPECT_EQ(bar.icons[2].addOrder, 0);
    EXPECT_EQ(bar.findIcon(0)->column, 2);
    EXPECT_EQ(bar.findIcon(3), bar.icons.end());
    ToolBarIcon lower;
    lower.row = 1;
    EXPECT_TRUE(ToolBar::iconSort(bar.icons[2], lower));
    EXPECT_FALSE(ToolBar::iconSort(lower, bar.icons[0]));
    ToolBar disabledFirst{testScreen()};
    disabledFirst.addIcon(SDL_Rect{4, 222, 16, 16}, 0, 0, 1, "n.png", "d.png", "a.png", "", true);
    EXPECT_EQ(disabledFirst.selectedIcon()->column, 0) << "no enabled icon yet";
    disabledFirst.addIcon(SDL_Rect{24, 222, 16, 16}, 1, 0, 2, "n.png", "d.png", "a.png", "", false);
    EXPECT_EQ(disabledFirst.selectedIcon()->column, 1) << "the first enabled icon";
}

TEST_F(ToolBarWidget, MovesWrapAlongTheRow)
{
    for (int c = 0; c < 7; ++c)
        add(c);
    EXPECT_EQ(bar.moveLeft(), 6);
    EXPECT_EQ(bar.iconTextRoll.offset, 0x7fffffff);
    EXPECT_EQ(bar.moveRight(), 0);
    EXPECT_EQ(bar.moveRight(), 1);
    bar.iconTextRoll.offset = 7;
    EXPECT_EQ(bar.moveDown(), 1);
    EXPECT_EQ(bar.moveUp(), 1);
    EXPECT_EQ(bar.iconTextRoll.offset, 7) << "a selection that stays does not restart the text";
    for (int i = 0; i < 5; ++i)
        bar.moveRight();
    EXPECT_EQ(bar.selectedIcon()->addOrder, 6);
    EXPECT_EQ(bar.moveRight(), 0);
}

TEST_F(ToolBarWidget, TouchesSkipDisabledIcons)
{
    add(0, true);
    add(1);
    int result = -1;
    EXPECT_TRUE(bar.click(12, 230, &result)) << "disabled icon: taken, nothing chosen";
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(bar.click(28, 230, &result));
    EXPECT_EQ(result, 11);
    EXPECT_EQ(bar.selectedIcon()->addOrder, 1);
    result = -1;
    EXPECT_TRUE(bar.click(24, 230, &result)) << "icon edge: strict";
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(bar.click(200, 230, &result)) << "bare strip";
    EXPECT_FALSE(bar.click(100, 212, &result));
    EXPECT_FALSE(bar.click(100, 100, &result));
    bar.visible = false;
    EXPECT_FALSE(bar.click(28, 230, &result));
}

TEST_F(ToolBarWidget, EachStateHasItsLook)
{
    add(0);
    add(1, true);
    add(2);
    fill(testScreen(), 0, 0, 0);
    bar.draw(&fps, true);
    EXPECT_EQ(lookAt(0), 'a');
    EXPECT_EQ(lookAt(1), 'd');
    EXPECT_EQ(lookAt(2), 'n');
    bar.moveRight();
    bar.draw(&fps, true);
    EXPECT_EQ(lookAt(0), 'n');
    EXPECT_EQ(lookAt(1), 'a') << "selected and disabled";
    bar.visible = false;
    fill(testScreen(), 0, 0, 0);
    bar.draw(&fps, true);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 0, 320, 240}, 0, 0, 0), 0);
}

TEST_F(ToolBarWidget, IconTextOnlyWithAFont)
{
    add(0, false, "Zoom in");
    const SDL_Rect textBox{125, 222, 173, 17};
    fill(testScreen(), 0, 0, 0);
    bar.draw(&fps, true);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), textBox, 0, 0, 0), 0);
    bar.setIconText(textBox, 17, testFonts().text, SDL_Color{255, 191, 0, 0});
    bar.draw(&fps, true);
    EXPECT_GT(pixelsDifferentFrom(testScreen(), textBox, 0, 0, 0), 20);
}

TEST_F(ToolBarWidget, ImagesAndTexts)
{
    writeImage("strip.png", 320, 28, 20, 20, 80);
    EXPECT_EQ(bar.addImage(SDL_Rect{0, 212, 320, 28}, "missing.png"), -1);
    EXPECT_EQ(bar.addImage(SDL_Rect{0, 212, 320, 28}, "strip.png"), 0);
    EXPECT_FALSE(bar.changeImage(1, "strip.png"));
    EXPECT_FALSE(bar.changeImage(0, "missing.png"));
    EXPECT_NE(bar.images[0].image, nullptr);
    EXPECT_EQ(bar.addText(SDL_Rect{200, 214, 100, 10}, 9, testFonts().small, SDL_Color{255, 255, 255, 0}, "a"), 0);
    EXPECT_TRUE(bar.changeText(0, "text"));
    EXPECT_FALSE(bar.changeText(1, "text"));
    fill(testScreen(), 0, 0, 0);
    bar.draw(&fps, true);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 212, 200, 28}, 20, 20, 80), 0);
    EXPECT_GT(pixelsDifferentFrom(testScreen(), SDL_Rect{200, 214, 100, 10}, 20, 20, 80), 5);
}

TEST_F(ToolBarWidget, IconsWithoutImagesStillWork)
{
    bar.addIcon(SDL_Rect{4, 222, 16, 16}, 0, 0, 5, "none.png", "none-d.png", "none-a.png", "Exit", false);
    bar.setIconText(SDL_Rect{125, 222, 173, 17}, 17, testFonts().text, SDL_Color{255, 191, 0, 0});
    fill(testScreen(), 0, 0, 0);
    bar.draw(&fps, true);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{4, 222, 16, 16}, 0, 0, 0), 0);
    EXPECT_GT(pixelsDifferentFrom(testScreen(), SDL_Rect{125, 222, 173, 17}, 0, 0, 0), 20) << "its name shows";
    int result = -1;
    EXPECT_TRUE(bar.click(12, 230, &result));
    EXPECT_EQ(result, 5) << "and it can be touched";
}
