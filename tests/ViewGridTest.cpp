#include "ViewGrid.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A 320 × 240 view over 256-pixel tiles: a grid of 3 × 2 cells.
ViewGrid gridOver(int areaWidth, int areaHeight)
{
    ViewGrid grid;
    grid.resize(320, 240, 256);
    grid.setArea(areaWidth, areaHeight);
    return grid;
}

std::vector<int> view(const ViewGrid& g)
{
    return {g.originX, g.originY, g.offsetX, g.offsetY};
}

} // namespace

TEST(ViewGrid, PlacementKeepsInsideTheArea)
{
    // One cell more than the view needs, at least two.
    const int sizes[][4] = {{320, 240, 3, 2}, {256, 256, 2, 2}, {600, 400, 4, 3}};
    for (const auto& size : sizes) {
        ViewGrid sized;
        sized.resize(size[0], size[1], 256);
        EXPECT_EQ(std::vector<int>({sized.cols, sized.rows}), std::vector<int>({size[2], size[3]})) << size[0];
    }
    ViewGrid grid = gridOver(40, 40);
    grid.place(ViewCentre{10, 20, 100, 200});
    EXPECT_EQ(view(grid), (std::vector<int>{9, 20, 196, 80}));
    EXPECT_EQ(grid.centre(), (ViewCentre{9, 20, 356, 200}));
    grid.place(grid.centre());
    EXPECT_EQ(view(grid), (std::vector<int>{9, 20, 196, 80})) << "the centre read back places the same view";

    grid.place(ViewCentre{0, 0, 10, 10});
    EXPECT_EQ(view(grid), (std::vector<int>{0, 0, 0, 0}));
    grid.place(ViewCentre{39, 39, 250, 250});
    EXPECT_EQ(view(grid), (std::vector<int>{37, 38, 448, 272}));
    grid.setArea(10, 40);
    grid.place(ViewCentre{9, 5, 200, 150});
    EXPECT_EQ(view(grid), (std::vector<int>{7, 5, 448, 30}));
    grid.setArea(2, 1);
    grid.place(ViewCentre{1, 0, 100, 100});
    EXPECT_EQ(view(grid), (std::vector<int>{0, 0, 0, 0})) << "smaller than the grid: its first cell";
    for (int big : {2000000000, -2000000000}) {
        grid.setArea(1 << 20, 1 << 20);
        grid.place(ViewCentre{big, -big, big, -big});
        EXPECT_GE(grid.originX, 0);
        EXPECT_LE(grid.originX, (1 << 20) - 3);
    }
}

TEST(ViewGrid, SlidingShiftsOneCellAtATimeAndStopsAtTheEnds)
{
    ViewGrid grid = gridOver(20, 20);
    grid.place(ViewCentre{0, 0, 170, 130});
    std::vector<int> shifts; // +1 forward, -1 back; across ×1, down ×10
    const auto record = [&shifts](ViewGrid::Axis axis, bool back) {
        shifts.push_back((back ? -1 : 1) * (axis == ViewGrid::Axis::across ? 1 : 10));
    };
    EXPECT_FALSE(grid.slide(ViewGrid::Axis::across, -50, record));
    EXPECT_FALSE(grid.slide(ViewGrid::Axis::down, -50, record));
    EXPECT_EQ(view(grid), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_TRUE(shifts.empty());

    EXPECT_TRUE(grid.slide(ViewGrid::Axis::across, 500, record));
    EXPECT_EQ(view(grid), (std::vector<int>{1, 0, 244, 0}));
    EXPECT_TRUE(grid.slide(ViewGrid::Axis::down, 300, record));
    EXPECT_EQ(view(grid), (std::vector<int>{1, 1, 244, 44}));
    EXPECT_TRUE(grid.slide(ViewGrid::Axis::across, -300, record));
    EXPECT_EQ(view(grid), (std::vector<int>{0, 1, 200, 44}));
    EXPECT_EQ(shifts, (std::vector<int>{1, 10, -1}));

    shifts.clear();
    EXPECT_FALSE(grid.slide(ViewGrid::Axis::across, 20 * 256, record));
    EXPECT_EQ(view(grid), (std::vector<int>{17, 1, 448, 44}));
    EXPECT_EQ(shifts.size(), 17u);
    EXPECT_FALSE(grid.slide(ViewGrid::Axis::across, 1, record)) << "no column past the end";
    EXPECT_EQ(shifts.size(), 17u);
}

TEST(ViewGrid, FarMovesArePlacedAnewAndReportAStop)
{
    ViewGrid grid = gridOver(2000, 20);
    grid.place(ViewCentre{1000, 5, 0, 0});
    EXPECT_FALSE(grid.isFar(2 * 3 * 256, 2 * 2 * 256));
    EXPECT_TRUE(grid.isFar(-2 * 3 * 256 - 1, 0));
    const long long left = grid.viewLeft(), top = grid.viewTop();
    EXPECT_TRUE(grid.jump(-100 * 256 - 7, 300));
    EXPECT_EQ(grid.viewLeft(), left - 100 * 256 - 7);
    EXPECT_EQ(grid.viewTop(), top + 300);
    EXPECT_FALSE(grid.jump(2000000000, 0));
    EXPECT_EQ(view(grid)[0], 2000 - 3);
    EXPECT_EQ(grid.offsetX, 448);
}

TEST(ViewCentre, AcrossLevels)
{
    const ViewCentre c{3, 4, 200, 300};
    const ViewCentre in = c.scaled(2, true, 256);
    EXPECT_EQ(in.pixelsX(256), 2 * (3 * 256 + 200));
    EXPECT_EQ(in.pixelsY(256), 2 * (4 * 256 + 300));
    EXPECT_EQ(in.scaled(2, false, 256), (ViewCentre{3, 5, 200, 44}));
    // Areas of their own: world tile (10, 20) is the first at the coarse
    // level, (21, 40) at the fine one.
    const long long coarse[2] = {10, 20}, fine[2] = {21, 40};
    const ViewCentre rebased = ViewCentre{1, 1, 128, 0}.rebased(coarse, fine, 2, true, 256);
    EXPECT_EQ(rebased, (ViewCentre{(11 * 2 + 1) - 21, 42 - 40, 0, 0}));
    EXPECT_EQ(ViewCentre::atPixels(-1, 513, 256), (ViewCentre{-1, 2, 255, 1}));
}

TEST(ViewGrid, UnboundedKeepsOnlyTheCentreInsideTheArea)
{
    ViewGrid grid = gridOver(2, 1);
    grid.bounded = false;
    grid.place(ViewCentre{1, 0, 200, 100});
    EXPECT_EQ(grid.centre().pixelsX(256), 256 + 200);
    EXPECT_EQ(grid.centre().pixelsY(256), 100);
    EXPECT_EQ(view(grid), (std::vector<int>{1, -1, 40, 236})) << "the grid reaches beyond the area";
    grid.place(ViewCentre{-5, 9, 0, 0});
    EXPECT_EQ(grid.centre().pixelsX(256), 0);
    EXPECT_EQ(grid.centre().pixelsY(256), 255);

    int shifts = 0;
    const auto count = [&shifts](ViewGrid::Axis, bool) { ++shifts; };
    EXPECT_FALSE(grid.slide(ViewGrid::Axis::across, 1000, count)) << "stopped with the centre at the east edge";
    EXPECT_EQ(grid.centre().pixelsX(256), 511);
    EXPECT_EQ(shifts, 1);
    EXPECT_TRUE(grid.slide(ViewGrid::Axis::across, -300, count));
    EXPECT_EQ(grid.centre().pixelsX(256), 211);
    EXPECT_FALSE(grid.jump(-100000, 0));
    EXPECT_EQ(grid.centre().pixelsX(256), 0);
}
