#include "FPS.h"
#include "Menu.h"
#include "Packages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

const SDL_Color normal{191, 191, 191, 0}, selected{255, 191, 0, 0}, disabled{96, 96, 96, 0},
    selectedDisabled{191, 143, 0, 0};

} // namespace

class MenuWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        lineSkip = TTF_FontLineSkip(testFonts().text);
        // Five rows fit the line box.
        itemBox = SDL_Rect{43, 90, 224, static_cast<Uint16>(5 * lineSkip + lineSkip / 2)};
        menu.create(testScreen(), itemBox, 18, testFonts().text, normal, selected, disabled, selectedDisabled);
        menu.area = SDL_Rect{32, 57, 256, 126};
    }

    int fill(int page, int lines)
    {
        for (int i = 0; i < lines; ++i)
            menu.addItem(page, 100 + i, "Line " + std::to_string(i), false);
        return page;
    }

    void expectWindow(int first, int last, int sel)
    {
        const SubMenu& m = menu.menus[static_cast<std::size_t>(menu.current)];
        EXPECT_EQ(m.firstVisible, first);
        EXPECT_EQ(m.lastVisible, last);
        EXPECT_EQ(m.selected, sel);
    }

    TempDir dir;
    FakeClock clock;
    FPS fps{&clock};
    Menu menu;
    SDL_Rect itemBox{0, 0, 0, 0};
    int lineSkip = 0;
};

TEST_F(MenuWidget, CreateSetsTheFirstState)
{
    EXPECT_TRUE(menu.visible);
    EXPECT_EQ(menu.visibleRows, 5);
    EXPECT_EQ(menu.lineSkip, lineSkip);
    EXPECT_EQ(menu.itemRollOffset, 0x7fffffff);
    EXPECT_FALSE(menu.headingOn);
    EXPECT_EQ(menu.createMenu("Untitled", -1, 0), 0);
    EXPECT_EQ(menu.menus[0].title, "") << "no heading when the page was made";
    EXPECT_EQ(menu.menus[0].align, 18);
}

TEST_F(MenuWidget, SelectionWindowOverTwelveLines)
{
    fill(menu.createMenu("P", -1, 9), 12);
    expectWindow(0, 5, 0);
    EXPECT_TRUE(menu.moveDown());
    EXPECT_TRUE(menu.moveDown());
    expectWindow(0, 5, 2);
    EXPECT_TRUE(menu.moveDown());
    expectWindow(1, 6, 3);
    EXPECT_TRUE(menu.moveDown());
    expectWindow(2, 7, 4);
    for (int i = 0; i < 7; ++i)
        menu.moveDown();
    expectWindow(7, 12, 11);
    menu.itemRollOffset = 5;
    EXPECT_FALSE(menu.moveDown()) << "wraps";
    expectWindow(0, 5, 0);
    EXPECT_EQ(menu.itemRollOffset, 0x7fffffff);
    EXPECT_FALSE(menu.moveUp()) << "wraps";
    expectWindow(7, 12, 11);
    EXPECT_TRUE(menu.moveUp());
    EXPECT_TRUE(menu.moveUp());
    expectWindow(7, 12, 9);
    EXPECT_TRUE(menu.moveUp());
    expectWindow(6, 11, 8);

    menu.switchMenu(0);
    while (menu.menus[0].selected != 0)
        menu.moveUp();
    EXPECT_TRUE(menu.scrollDown());
    expectWindow(2, 7, 4);
    for (int i = 0; i < 6; ++i)
        menu.moveDown();
    expectWindow(7, 12, 10);
    EXPECT_FALSE(menu.scrollDown()) << "one more line, then the end";
    expectWindow(7, 12, 11);
    EXPECT_TRUE(menu.scrollUp());
    expectWindow(5, 10, 7);
}

TEST_F(MenuWidget, ShortPageNeverScrolls)
{
    fill(menu.createMenu("P", -1, 0), 3);
    expectWindow(0, 3, 0);
    menu.moveDown();
    menu.moveDown();
    expectWindow(0, 3, 2);
    EXPECT_FALSE(menu.moveDown());
    expectWindow(0, 3, 0);
    EXPECT_FALSE(menu.scrollUp());
    const int empty = menu.createMenu("E", -1, 0);
    menu.switchMenu(empty);
    EXPECT_FALSE(menu.moveDown());
    EXPECT_FALSE(menu.moveUp());
    EXPECT_EQ(menu.select(), -1);
}

TEST_F(MenuWidget, SelectParentAndPages)
{
    const int options = menu.createOptionsMenu("Options", 158, 64, -1, 9);
    menu.addItem(options, 6, "Frame rate cap", false);
    menu.addItem(options, 7, "Show frame rate", false);
    const int values = menu.createMenu("Frame rate cap", options, 0);
    menu.addItem(values, 0, "Unlimited", false);
    menu.addItem(values, 30, "30", true);
    menu.changeValue(options, 0, 42);
    EXPECT_EQ(menu.menus[static_cast<std::size_t>(options)].items[0].value, "42");
    menu.changeValue(options, 9, "nothing");
    EXPECT_FALSE(menu.disableItem(options, 2));
    EXPECT_FALSE(menu.activateItem(7, 0));

    ASSERT_TRUE(menu.switchMenu(values));
    menu.moveDown();
    EXPECT_EQ(menu.select(), -1) << "disabled";
    EXPECT_EQ(menu.menus[0].items[0].value, "42");
    menu.moveUp();
    EXPECT_EQ(menu.select(), 0);
    EXPECT_EQ(menu.menus[0].items[0].value, "Unlimited");
    EXPECT_TRUE(menu.activateItem(values, 1));
    menu.moveDown();
    EXPECT_EQ(menu.select(), 30);

    EXPECT_TRUE(menu.parent());
    EXPECT_EQ(menu.current, options);
    menu.menus[0].parentMenu = 1;
    EXPECT_FALSE(menu.parent()) << "page 0 has no way back";
    EXPECT_FALSE(menu.switchMenu(-1));
    EXPECT_FALSE(menu.switchMenu(2));
    EXPECT_EQ(menu.current, 0);

    menu.switchMenu(values);
    menu.clearMenu(values);
    EXPECT_EQ(menu.current, 0);
    EXPECT_TRUE(menu.menus[1].items.empty());
}

TEST_F(MenuWidget, LinesPlacedInTheBoxByTheVerticalFlag)
{
    const int bottom = fill(menu.createMenu("B", -1, 0x22), 2);
    const int middle = fill(menu.createMenu("M", -1, 0x12), 2);
    const int top = fill(menu.createMenu("T", -1, 0x09), 2);
    const int both = fill(menu.createMenu("X", -1, 0x32), 2);
    EXPECT_EQ(menu.menus[static_cast<std::size_t>(bottom)].firstRowY, itemBox.h - 2 * lineSkip);
    EXPECT_EQ(menu.menus[static_cast<std::size_t>(middle)].firstRowY, (itemBox.h - 2 * lineSkip) / 2);
    EXPECT_EQ(menu.menus[static_cast<std::size_t>(top)].firstRowY, 0);
    EXPECT_EQ(menu.menus[static_cast<std::size_t>(both)].firstRowY, itemBox.h - 2 * lineSkip);
    const int full = fill(menu.createMenu("F", -1, 0x22), 9);
    EXPECT_EQ(menu.menus[static_cast<std::size_t>(full)].firstRowY, 0);
}

TEST_F(MenuWidget, TouchesAreStrict)
{
    menu.heading(SDL_Rect{40, 62, 240, 25}, 18, testFonts().heading, selected);
    fill(menu.createMenu("P", -1, 9), 12);
    int result = -1;
    EXPECT_TRUE(menu.click(100, 70, &result));
    EXPECT_EQ(result, -2) << "heading";

    result = -1;
    const int row2 = itemBox.y + 2 * lineSkip + 1;
    EXPECT_TRUE(menu.click(itemBox.x, row2, &result)) << "on the menu, but not on a line";
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(menu.click(100, itemBox.y, &result));
    EXPECT_EQ(result, -1);
    expectWindow(0, 5, 0);
    EXPECT_TRUE(menu.click(itemBox.x + 1, row2, &result));
    EXPECT_EQ(result, 102);
    expectWindow(0, 5, 2);
    EXPECT_TRUE(menu.click(100, itemBox.y + 1, &result));
    EXPECT_EQ(result, 100);

    EXPECT_FALSE(menu.click(32, 100, &result)) << "edge of the click area";
    EXPECT_FALSE(menu.click(10, 10, &result));
    menu.visible = false;
    EXPECT_FALSE(menu.click(100, row2, &result));
}

TEST_F(MenuWidget, ScrollbarTrackSliderAndArrows)
{
    writeImage("top.png", 9, 6, 0, 255, 0);
    writeImage("bottom.png", 9, 6, 0, 0, 255);
    writeImage("track.png", 9, 100, 64, 64, 64);
    writeImage("slider.png", 9, 10, 255, 255, 255);
    menu.area = SDL_Rect{0, 0, 320, 240};
    menu.scrollbar(SDL_Rect{271, 70, 9, 120}, "top.png", "bottom.png", "track.png", "slider.png");
    expectRect(menu.trackBox, 271, 80, 9, 100);
    expectRect(menu.topBox, 271, 70, 9, 6);
    expectRect(menu.bottomBox, 271, 184, 9, 6);
    EXPECT_EQ(menu.sliderBox.y, 80);

    fill(menu.createMenu("P", -1, 9), 5);
    const int expected[] = {0, 22, 45, 67, 90};
    for (int line = 0; line < 5; ++line) {
        ::fill(testScreen(), 0, 0, 0);
        menu.draw(&fps, true);
        EXPECT_EQ(menu.sliderBox.y, 80 + expected[line]) << line;
        EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{271, static_cast<Sint16>(80 + expected[line]), 9, 10},
                                      255, 255, 255),
                  0);
        menu.moveDown();
    }
    // Five lines fit: no arrows.
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{271, 70, 9, 6}, 0, 0, 0), 0);

    const int longPage = fill(menu.createMenu("L", -1, 9), 12);
    menu.switchMenu(longPage);
    ::fill(testScreen(), 0, 0, 0);
    menu.draw(&fps, true);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{271, 70, 9, 6}, 0, 0, 0), 0) << "no up arrow at the top";
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{271, 184, 9, 6}, 0, 0, 255), 0) << "down arrow";

    int result = -1;
    EXPECT_TRUE(menu.click(275, 186, &result)); // bottom arrow
    expectWindow(2, 7, 4);
    EXPECT_TRUE(menu.click(275, 72, &result)); // top arrow
    expectWindow(0, 5, 0);
    EXPECT_TRUE(menu.click(275, 80 + 95, &result)); // track near its end: line 11
    expectWindow(7, 12, 11);
    EXPECT_TRUE(menu.click(275, 80 + 30, &result)); // 12 * 30 / 100 = line 3
    EXPECT_EQ(menu.menus[static_cast<std::size_t>(longPage)].selected, 3);
    EXPECT_EQ(result, -1) << "the track chooses nothing";
}

TEST_F(MenuWidget, DrawsBackgroundHeadingAndLinesInTheirColours)
{
    writeImage("bg.png", 256, 126, 0, 0, 64);
    menu.loadBackground(SDL_Rect{32, 57, 256, 126}, "bg.png");
    menu.heading(SDL_Rect{40, 62, 240, 25}, 18, testFonts().heading, selected);
    const int page = menu.createMenu("Map packages", -1, 9);
    menu.addItem(page, 0, "Selected line", false);
    menu.addItem(page, 1, "Disabled line", true);
    ::fill(testScreen(), 0, 0, 0);
    menu.draw(&fps, false);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 0, 320, 57}, 0, 0, 0), 0);
    EXPECT_GT(pixelsDifferentFrom(testScreen(), SDL_Rect{40, 62, 240, 25}, 0, 0, 64), 50) << "heading";
    auto countColour = [&](SDL_Rect box, SDL_Color c) {
        return box.w * box.h - pixelsDifferentFrom(testScreen(), box, c.r, c.g, c.b);
    };
    const SDL_Rect row0{43, 90, 224, static_cast<Uint16>(lineSkip)};
    const SDL_Rect row1{43, static_cast<Sint16>(90 + lineSkip), 224, static_cast<Uint16>(lineSkip)};
    EXPECT_GT(countColour(row0, selected), 20);
    EXPECT_EQ(countColour(row0, disabled), 0);
    EXPECT_GT(countColour(row1, disabled), 20);

    menu.moveDown();
    menu.draw(&fps, false);
    EXPECT_GT(countColour(row1, selectedDisabled), 20);
    EXPECT_GT(countColour(row0, normal), 20);

    menu.visible = false;
    ::fill(testScreen(), 0, 0, 0);
    menu.draw(&fps, false);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 0, 320, 240}, 0, 0, 0), 0);
}

TEST_F(MenuWidget, OptionsPageShowsTheValueColumn)
{
    const int page = menu.createOptionsMenu("Options", 158, 64, -1, 9);
    menu.addItem(page, 6, "Cap", false);
    menu.changeValue(page, 0, "30");
    ::fill(testScreen(), 0, 0, 0);
    menu.draw(&fps, false);
    // The value starts at the value column: line box right edge less 64.
    const Sint16 valueX = static_cast<Sint16>(43 + 224 - 64);
    EXPECT_GT(pixelsDifferentFrom(testScreen(), SDL_Rect{valueX, 90, 30, static_cast<Uint16>(lineSkip)}, 0, 0, 0), 10);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{static_cast<Sint16>(43 + 40), 90, 100, 15}, 0, 0, 0), 0);
}

TEST_F(MenuWidget, MissingImagesAreSkipped)
{
    menu.area = SDL_Rect{0, 0, 320, 240};
    menu.scrollbar(SDL_Rect{271, 90, 9, 85}, "no-top.png", "no-bottom.png", "no-track.png", "no-slider.png");
    menu.loadBackground(SDL_Rect{32, 57, 256, 126}, "no-background.png");
    fill(menu.createMenu("P", -1, 9), 12);
    ::fill(testScreen(), 0, 0, 0);
    menu.draw(&fps, true);
    EXPECT_GT(pixelsDifferentFrom(testScreen(), itemBox, 0, 0, 0), 20) << "the lines still show";
    int result = -1;
    EXPECT_TRUE(menu.click(275, 100, &result)) << "a touch where the track would be";
    EXPECT_EQ(result, -1);
}
