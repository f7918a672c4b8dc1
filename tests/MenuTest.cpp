#include "FPS.h"
#include "Menu.h"
#include "Packages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

void expectWindowOf(const MenuModel& model, int first, int last, int sel)
{
    const MenuPage& m = model.page();
    EXPECT_EQ(m.firstVisible, first);
    EXPECT_EQ(m.lastVisible, last);
    EXPECT_EQ(m.selected, sel);
}

// Adds `lines` lines with ids from 100 to `page`.
int addLines(MenuModel* model, int page, int lines)
{
    for (int i = 0; i < lines; ++i)
        model->addItem(page, 100 + i, "Line " + std::to_string(i), false);
    return page;
}

// Pages of five rows, without a screen.
struct ModelPages : public ::testing::Test {
    void SetUp() override { model.rows = 5; }
    int fill(int page, int lines) { return addLines(&model, page, lines); }
    void expectWindow(int first, int last, int sel) { expectWindowOf(model, first, last, sel); }
    MenuModel model;
};

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
        menu.create(testScreen(), itemBox, 18, testFonts().text, LineColours{normal, selected, disabled, selectedDisabled});
        menu.area = SDL_Rect{32, 57, 256, 126};
    }

    int fill(int page, int lines) { return addLines(&menu.model, page, lines); }

    void expectWindow(int first, int last, int sel) { expectWindowOf(menu.model, first, last, sel); }

    TempDir dir;
    FakeClock clock;
    FPS fps{&clock};
    Menu menu;
    SDL_Rect itemBox{0, 0, 0, 0};
    int lineSkip = 0;
};

TEST_F(ModelPages, SelectionWindowOverTwelveLines)
{
    fill(model.createMenu("P", -1, 9), 12);
    expectWindow(0, 5, 0);
    EXPECT_TRUE(model.next());
    EXPECT_TRUE(model.next());
    expectWindow(0, 5, 2);
    EXPECT_TRUE(model.next());
    expectWindow(1, 6, 3);
    EXPECT_TRUE(model.next());
    expectWindow(2, 7, 4);
    for (int i = 0; i < 7; ++i)
        model.next();
    expectWindow(7, 12, 11);
    EXPECT_FALSE(model.next()) << "wraps";
    expectWindow(0, 5, 0);
    EXPECT_FALSE(model.previous()) << "wraps";
    expectWindow(7, 12, 11);
    EXPECT_TRUE(model.previous());
    EXPECT_TRUE(model.previous());
    expectWindow(7, 12, 9);
    EXPECT_TRUE(model.previous());
    expectWindow(6, 11, 8);

    model.switchMenu(0);
    while (model.pages[0].selected != 0)
        model.previous();
    EXPECT_TRUE(model.pageDown());
    expectWindow(2, 7, 4);
    for (int i = 0; i < 6; ++i)
        model.next();
    expectWindow(7, 12, 10);
    EXPECT_FALSE(model.pageDown()) << "one more line, then the end";
    expectWindow(7, 12, 11);
    EXPECT_TRUE(model.pageUp());
    expectWindow(5, 10, 7);
    model.last();
    expectWindow(7, 12, 11);
    model.first();
    expectWindow(0, 5, 0);
}

// Lines 0, 3, 4 and 11 of twelve are disabled: no key stops on them.
TEST_F(ModelPages, CursorPassesOverDisabledLines)
{
    const int page = fill(model.createMenu("P", -1, 9), 12);
    for (int line : {0, 3, 4, 11})
        model.disableItem(page, line);
    model.first();
    expectWindow(0, 5, 1);
    model.next();
    EXPECT_TRUE(model.next());
    EXPECT_EQ(model.page().selected, 5);
    EXPECT_TRUE(model.previous());
    EXPECT_EQ(model.page().selected, 2);
    model.last();
    expectWindow(7, 12, 10);
    EXPECT_FALSE(model.next()) << "wraps past the disabled ends";
    EXPECT_EQ(model.page().selected, 1);
    EXPECT_FALSE(model.previous());
    EXPECT_EQ(model.page().selected, 10);
    model.first();
    model.next();
    EXPECT_TRUE(model.pageDown());
    EXPECT_EQ(model.page().selected, 6) << "four lines on";
    model.next();
    EXPECT_TRUE(model.pageUp());
    EXPECT_EQ(model.page().selected, 2) << "four lines back is 3, disabled: on to 2";
    const int lone = model.createMenu("L", -1, 0);
    model.addItem(lone, -1, "Nothing here", true);
    model.switchMenu(lone);
    model.next();
    model.last();
    expectWindow(0, 1, 0);
}

TEST_F(ModelPages, ShortPageNeverScrolls)
{
    fill(model.createMenu("P", -1, 0), 3);
    expectWindow(0, 3, 0);
    model.next();
    model.next();
    expectWindow(0, 3, 2);
    EXPECT_FALSE(model.next());
    expectWindow(0, 3, 0);
    EXPECT_FALSE(model.pageUp());
    const int empty = model.createMenu("E", -1, 0);
    model.switchMenu(empty);
    EXPECT_FALSE(model.next());
    EXPECT_FALSE(model.previous());
    EXPECT_EQ(model.select(), -1);
}

TEST_F(ModelPages, SelectParentAndPages)
{
    const int options = model.createOptionsMenu("Options", 158, 64, -1, 9);
    model.addItem(options, 6, "Frame rate cap", false);
    model.addItem(options, 7, "Show frame rate", false);
    const int values = model.createMenu("Frame rate cap", options, 0);
    model.addItem(values, 0, "Unlimited", false);
    model.addItem(values, 30, "30", true);
    model.changeValue(options, 0, 42);
    EXPECT_EQ(model.pages[static_cast<std::size_t>(options)].items[0].value, "42");
    model.changeValue(options, 9, "nothing");
    EXPECT_FALSE(model.disableItem(options, 2));
    EXPECT_FALSE(model.activateItem(7, 0));

    ASSERT_TRUE(model.switchMenu(values));
    model.next();
    EXPECT_EQ(model.page().selected, 0) << "the disabled line is passed over";
    model.page().selected = 1; // as a touch selects it
    EXPECT_EQ(model.select(), -1) << "disabled";
    EXPECT_EQ(model.pages[0].items[0].value, "42");
    model.previous();
    EXPECT_EQ(model.select(), 0);
    EXPECT_EQ(model.pages[0].items[0].value, "Unlimited");
    EXPECT_TRUE(model.activateItem(values, 1));
    model.next();
    EXPECT_EQ(model.select(), 30);

    EXPECT_TRUE(model.parent());
    EXPECT_EQ(model.current, options);
    model.pages[0].parentMenu = 1;
    EXPECT_FALSE(model.parent()) << "page 0 has no way back";
    EXPECT_FALSE(model.switchMenu(-1));
    EXPECT_FALSE(model.switchMenu(2));
    EXPECT_EQ(model.current, 0);

    model.switchMenu(values);
    model.clearMenu(values);
    EXPECT_EQ(model.current, 0);
    EXPECT_TRUE(model.pages[1].items.empty());
}

TEST_F(MenuWidget, LinesPlacedInTheBoxByTheVerticalFlag)
{
    const int bottom = fill(menu.model.createMenu("B", -1, 0x22), 2);
    const int middle = fill(menu.model.createMenu("M", -1, 0x12), 2);
    const int top = fill(menu.model.createMenu("T", -1, 0x09), 2);
    const int both = fill(menu.model.createMenu("X", -1, 0x32), 2);
    EXPECT_EQ(menu.firstRowY(menu.model.pages[static_cast<std::size_t>(bottom)]), itemBox.h - 2 * lineSkip);
    EXPECT_EQ(menu.firstRowY(menu.model.pages[static_cast<std::size_t>(middle)]), (itemBox.h - 2 * lineSkip) / 2);
    EXPECT_EQ(menu.firstRowY(menu.model.pages[static_cast<std::size_t>(top)]), 0);
    EXPECT_EQ(menu.firstRowY(menu.model.pages[static_cast<std::size_t>(both)]), itemBox.h - 2 * lineSkip);
    const int full = fill(menu.model.createMenu("F", -1, 0x22), 9);
    EXPECT_EQ(menu.firstRowY(menu.model.pages[static_cast<std::size_t>(full)]), 0);
}

TEST_F(MenuWidget, TouchesAreStrict)
{
    menu.heading(SDL_Rect{40, 62, 240, 25}, TextStyle{testFonts().heading, selected, 18});
    fill(menu.model.createMenu("P", -1, 9), 12);
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
    expectRect(menu.bar.trackBox, 271, 80, 9, 100);
    expectRect(menu.bar.topBox, 271, 70, 9, 6);
    expectRect(menu.bar.bottomBox, 271, 184, 9, 6);
    EXPECT_EQ(menu.bar.sliderBox.y, 80);

    fill(menu.model.createMenu("P", -1, 9), 5);
    const int expected[] = {0, 22, 45, 67, 90};
    for (int line = 0; line < 5; ++line) {
        ::fill(testScreen(), 0, 0, 0);
        menu.draw(&fps, true);
        EXPECT_EQ(menu.bar.sliderBox.y, 80 + expected[line]) << line;
        EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{271, static_cast<Sint16>(80 + expected[line]), 9, 10},
                                      255, 255, 255),
                  0);
        menu.model.next();
    }
    // Five lines fit: no arrows.
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{271, 70, 9, 6}, 0, 0, 0), 0);

    const int longPage = fill(menu.model.createMenu("L", -1, 9), 12);
    menu.model.switchMenu(longPage);
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
    EXPECT_EQ(menu.model.pages[static_cast<std::size_t>(longPage)].selected, 3);
    EXPECT_EQ(result, -1) << "the track chooses nothing";
}

TEST_F(MenuWidget, DrawsBackgroundHeadingAndLinesInTheirColours)
{
    writeImage("bg.png", 256, 126, 0, 0, 64);
    menu.loadBackground(SDL_Rect{32, 57, 256, 126}, "bg.png");
    menu.heading(SDL_Rect{40, 62, 240, 25}, TextStyle{testFonts().heading, selected, 18});
    const int page = menu.model.createMenu("Map packages", -1, 9);
    menu.model.addItem(page, 0, "Selected line", false);
    menu.model.addItem(page, 1, "Disabled line", true);
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

    menu.model.page().selected = 1; // as a touch selects it
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
    const int page = menu.model.createOptionsMenu("Options", 158, 64, -1, 9);
    menu.model.addItem(page, 6, "Cap", false);
    menu.model.changeValue(page, 0, "30");
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
    fill(menu.model.createMenu("P", -1, 9), 12);
    ::fill(testScreen(), 0, 0, 0);
    menu.draw(&fps, true);
    EXPECT_GT(pixelsDifferentFrom(testScreen(), itemBox, 0, 0, 0), 20) << "the lines still show";
    int result = -1;
    EXPECT_TRUE(menu.click(275, 100, &result)) << "a touch where the track would be";
    EXPECT_EQ(result, -1);
}

// A value wider than its column rolls while its line is selected, so it
// can be read whole; the others stay still.
TEST_F(MenuWidget, ASelectedValueWiderThanItsColumnRolls)
{
    const int page = menu.model.createOptionsMenu("Options", 120, 60, -1, 9);
    const int line = menu.model.addItem(page, 0, "GPS", false);
    menu.model.changeValue(page, line, "Connected to gpsd at a long host name");
    menu.model.addItem(page, 1, "Other", false);
    menu.visible = true;
    ASSERT_TRUE(menu.valueRolling());
    const SDL_Rect box = menu.selectedValueBox();
    const auto drawn = [&] {
        ::fill(testScreen(), 0, 0, 0);
        menu.draw(&fps, false);
        std::vector<Uint8> pixels;
        for (int y = box.y; y < box.y + box.h; ++y)
            for (int x = box.x; x < box.x + box.w; ++x) {
                Uint8 r, g, b;
                pixelAt(testScreen(), x, y, &r, &g, &b);
                pixels.push_back(r);
            }
        return pixels;
    };
    const std::vector<Uint8> first = drawn();
    for (int i = 0; i < 40; ++i) {
        clock.advance(100);
        fps.refresh();
        drawn();
    }
    EXPECT_NE(drawn(), first) << "the value rolled";
    menu.model.next();
    EXPECT_FALSE(menu.valueRolling()) << "a short value stays";
}
