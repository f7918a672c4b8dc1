#include "Attribution.h"
#include "EdgeBand.h"
#include "Map.h"
#include "Packages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

struct Conf {
    std::string api = "google";
    bool packed = false;
    int beginX = 0, beginY = 0, endX = 20, endY = 20;
    std::vector<int> zooms{10};
    int zoom = 10;
    std::vector<std::string> types{"sat"};
    std::vector<std::string> overlays;
    bool position = true;
    int pos[4] = {5, 5, 100, 100};
    std::string attribution = "\xC2\xA9  Test tiles, Test maps";

    std::string text() const
    {
        std::ostringstream t;
        t << "caption=Test\nattribution=" << attribution << "\napi=" << api << "\npacked=" << (packed ? "yes" : "no")
          << "\n";
        t << "begin_x=" << beginX << "\nbegin_y=" << beginY << "\nend_x=" << endX << "\nend_y=" << endY << "\n";
        for (int z : zooms)
            t << "zoom=" << z << "\n";
        t << "zoom_actual=" << zoom << "\n";
        for (const auto& n : types)
            t << "type=" << n << "\n";
        for (const auto& n : overlays)
            t << "overlay=" << n << "\n";
        if (position)
            t << "pos_x=" << pos[0] << "\npos_y=" << pos[1] << "\nmove_x=" << pos[2] << "\nmove_y=" << pos[3] << "\n";
        return t.str();
    }
};

} // namespace

class MapView : public ::testing::Test {
protected:
    void SetUp() override { writeMissingTileImage("media/na.png"); }

    // Writes maps/<name>/map.conf and opens it.
    bool open(const std::string& name, const Conf& conf)
    {
        mkdir("maps", 0755);
        mkdir(("maps/" + name).c_str(), 0755);
        writeFile("maps/" + name + "/map.conf", conf.text());
        return map.create(testScreen(), "maps/" + name + "/map.conf");
    }

    void expectView(int originX, int originY, int offX, int offY)
    {
        ASSERT_FALSE(map.tiles.empty());
        EXPECT_EQ(map.tiles[0].x, originX);
        EXPECT_EQ(map.tiles[0].y, originY);
        EXPECT_EQ(map.grid.offsetX, offX);
        EXPECT_EQ(map.grid.offsetY, offY);
        for (int r = 0; r < map.grid.rows; ++r)
            for (int c = 0; c < map.grid.cols; ++c) {
                const Tile& t = map.tiles[static_cast<std::size_t>(r * map.grid.cols + c)];
                EXPECT_EQ(t.x, originX + c);
                EXPECT_EQ(t.y, originY + r);
                EXPECT_NE(t.surface, nullptr);
            }
    }

    unsigned long loads() const { return map.pipeline.cellsFilled; }

    TempDir dir;
    Map map;
};

TEST_F(MapView, MovingAcrossTilesLoadsOneColumnOrRowPerShift)
{
    ASSERT_TRUE(open("a", Conf()));
    map.setCentre(ViewCentre{0, 0, 260, 120});
    expectView(0, 0, 100, 0);
    unsigned long before = loads();
    EXPECT_TRUE(map.move(400, 0));
    expectView(1, 0, 244, 0);
    EXPECT_EQ(loads() - before, 2u);

    before = loads();
    EXPECT_TRUE(map.move(0, 300)); // 300 + 240 > 512: one row
    expectView(1, 1, 244, 44);
    EXPECT_EQ(loads() - before, 3u);

    before = loads();
    EXPECT_FALSE(map.move(-1000, 0)); // back to column 0 is one shift; then clamped
    EXPECT_EQ(map.tiles[0].x, 0);
    EXPECT_EQ(loads() - before, 2u);

    map.setCentre(ViewCentre{4, 0, 10 + 160, 120});
    expectView(4, 0, 10, 0);
    before = loads();
    EXPECT_TRUE(map.move(-50, 0));
    expectView(3, 0, 216, 0);
    EXPECT_EQ(loads() - before, 2u);

    before = loads();
    EXPECT_FALSE(map.move(0, -5)) << "top of the area";
    expectView(3, 0, 216, 0);
    EXPECT_EQ(loads(), before);

    EXPECT_TRUE(map.move(5 * 256, 3 * 256)); // several shifts at once, diagonal
    expectView(8, 2, 216, 256);
}

TEST_F(MapView, ZoomKeepsTheCentre)
{
    Conf conf;
    conf.endX = 10;
    conf.endY = 10;
    conf.zooms = {10, 9};
    ASSERT_TRUE(open("a", conf));
    map.setCentre(ViewCentre{3, 4, 200, 300});
    ASSERT_EQ(map.centre(), (ViewCentre{3, 4, 200, 300}));
    const unsigned long before = loads();
    ASSERT_TRUE(map.zoomIn());
    EXPECT_EQ(loads() - before, 6u);
    EXPECT_EQ(map.grid.areaWidth, 20);
    EXPECT_EQ(map.centre().pixelsX(256), 7 * 256 + 144);
    EXPECT_EQ(map.centre().pixelsY(256), 10 * 256 + 88);
    EXPECT_FALSE(map.zoomIn());
    ASSERT_TRUE(map.zoomOut());
    EXPECT_EQ(map.centre().pixelsX(256), 3 * 256 + 200);
    EXPECT_EQ(map.centre().pixelsY(256), 4 * 256 + 300);
    EXPECT_FALSE(map.zoomOut());
}

// A press this close to an edge pans the map towards it.
TEST(EdgeBandTest, IsTheOuterThirtyTwoPixels)
{
    const int inBand[][2] = {{31, 100}, {289, 100}, {100, 31}, {100, 209}};
    for (const auto& p : inBand)
        EXPECT_TRUE(EdgeBand::contains(320, 240, p[0], p[1])) << p[0] << "," << p[1];
    const int inside[][2] = {{32, 100}, {288, 100}, {100, 208}};
    for (const auto& p : inside)
        EXPECT_FALSE(EdgeBand::contains(320, 240, p[0], p[1])) << p[0] << "," << p[1];
}

TEST_F(MapView, DrawsFourBlitsToThePixel)
{
    TestLayer layer = layerOf("maps/a/", "sat", 4, 3);
    writeLayer(layer);
    Conf conf;
    conf.endX = 4;
    conf.endY = 3;
    ASSERT_TRUE(open("a", conf));
    map.setCentre(ViewCentre{0, 0, 260, 170});
    expectView(0, 0, 100, 50);
    Attribution attribution;
    attribution.format(SDL_Rect{3, 0, 160, 15}, 9, testFonts().small, SDL_Color{0, 0, 0, 0});
    fill(testScreen(), 0, 0, 255);
    map.draw();
    attribution.draw(testScreen(), map.api->copyright, true);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 0, 320, 240}, 0, 0, 255), 320 * 240)
        << "the tiles fill the screen";
    struct Expect {
        int x, y, id, px, py;
    } spots[] = {
        {0, 20, 0, 100, 64},     {155, 239 - 34, 0, 252, 248}, {156, 20, 1, 0, 64},
        {319, 205, 1, 160, 248}, {0, 206, 4, 100, 0},          {155, 239, 4, 252, 32},
        {156, 206, 5, 0, 0},     {319, 239, 5, 160, 32},
    };
    for (const Expect& e : spots) {
        const TileSpot s = spotAt(testScreen(), e.x, e.y);
        EXPECT_EQ(s.id, e.id) << e.x << "," << e.y;
        EXPECT_EQ(s.px, e.px) << e.x << "," << e.y;
        EXPECT_EQ(s.py, e.py) << e.x << "," << e.y;
    }
    // The attribution, in black, over the tiles at the top left.
    EXPECT_GT(160 * 15 - pixelsDifferentFrom(testScreen(), SDL_Rect{3, 0, 160, 15}, 0, 0, 0), 20);
    // A credit wider than its area is wrapped between words, never cut.
    const std::string credit = "\xC2\xA9 Mapbox \xC2\xA9 OpenStreetMap contributors";
    const std::vector<std::string> lines = attribution.lines(credit);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0] + " " + lines[1], credit);
    for (const std::string& line : lines) {
        int w = 0, h = 0;
        TTF_SizeUTF8(testFonts().small, line.c_str(), &w, &h);
        EXPECT_LE(w, 160) << line;
    }

    map.grid.offsetY = 256 + 16; // only the second row is drawn
    map.grid.offsetX = 0;
    map.draw();
    EXPECT_EQ(spotAt(testScreen(), 10, 100).id, 4);
    EXPECT_EQ(spotAt(testScreen(), 10, 100).py, 112);
    EXPECT_EQ(spotAt(testScreen(), 300, 100).id, 5);
}

TEST_F(MapView, OverlaysAndLayerChoice)
{
    for (const char* name : {"sat", "map"}) {
        TestLayer layer = layerOf("maps/a/", name, 3, 2);
        layer.idBase = name[0] == 's' ? 0 : 10;
        writeLayer(layer);
    }
    TestLayer overlay = layerOf("maps/a/", "wat", 3, 2);
    overlay.overlay = true;
    overlay.skip = {1};
    writeLayer(overlay);
    Conf conf;
    conf.endX = 3;
    conf.endY = 2;
    conf.types = {"sat", "map"};
    conf.overlays = {"wat"};
    ASSERT_TRUE(open("a", conf));
    map.setCentre(ViewCentre{0, 0, 160, 120});

    const unsigned long before = loads();
    ASSERT_TRUE(map.setOverlay(0));
    EXPECT_EQ(loads() - before, 6u);
    fill(testScreen(), 0, 0, 0);
    map.draw();
    Uint8 r, g, b;
    pixelAt(testScreen(), 128, 128, &r, &g, &b);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({255, 255, 255})) << "overlay over tile 0";
    EXPECT_EQ(spotAt(testScreen(), 10, 10).id, 0) << "background around it";
    EXPECT_EQ(spotAt(testScreen(), 256 + 30, 128 - 100 + 100).id, 1) << "tile 1 has no overlay tile";
    pixelAt(testScreen(), 256 + 30, 128, &r, &g, &b);
    EXPECT_NE(std::vector<int>({r, g, b}), std::vector<int>({255, 255, 255}));

    ASSERT_TRUE(map.setOverlay(-256));
    EXPECT_TRUE(map.api->overlay.name.empty());
    map.draw();
    EXPECT_EQ(spotAt(testScreen(), 128, 128).id, 0);

    ASSERT_TRUE(map.setBg(1));
    map.draw();
    EXPECT_EQ(spotAt(testScreen(), 128, 128).id, 10);
    ASSERT_TRUE(map.setBg(99));
    EXPECT_EQ(map.api->bg.name, "sat");
}

TEST_F(MapView, RefusedPackagesLeaveThePreviousOne)
{
    Conf good;
    good.overlays = {"wat"};
    ASSERT_TRUE(open("good", good));
    const std::string keys[] = {"packed", "type", "zoom", "zoom_actual", "begin_x", "begin_y", "end_x", "end_y"};
    for (const std::string& key : keys) {
        std::string text = good.text(), kept;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            if (line.compare(0, key.size() + 1, key + "=") != 0)
                kept += line + "\n";
        writeFile("maps/good/../bad.conf", kept);
        EXPECT_FALSE(map.create(testScreen(), "maps/bad.conf")) << "without " << key;
    }
    Conf wrongZoom;
    wrongZoom.zoom = 11;
    EXPECT_FALSE(open("z", wrongZoom));
    Conf empty;
    empty.endX = 0;
    EXPECT_FALSE(open("e", empty));
    Conf emptySeznam;
    emptySeznam.api = "seznam";
    emptySeznam.endX = 0x10; // less than one tile at level 10
    emptySeznam.endY = 0x10;
    EXPECT_FALSE(open("s", emptySeznam));
    EXPECT_FALSE(map.create(testScreen(), "maps/none/map.conf"));

    EXPECT_EQ(map.conf.file, "maps/good/map.conf");
    EXPECT_EQ(map.overlayTypes, std::vector<std::string>{"wat"});
    EXPECT_EQ(map.tiles.size(), 6u);

    Conf plain; // no overlay list: none survives from the previous package
    ASSERT_TRUE(open("plain", plain));
    EXPECT_TRUE(map.overlayTypes.empty());
}

TEST_F(MapView, PackagesWithoutPositionOrSmallerThanTheGrid)
{
    Conf noPosition;
    noPosition.position = false;
    noPosition.endX = 10;
    noPosition.endY = 8;
    ASSERT_TRUE(open("a", noPosition));
    EXPECT_EQ(map.centre().pixelsX(256), 5 * 256);
    EXPECT_EQ(map.centre().pixelsY(256), 4 * 256);

    for (bool packed : {false, true}) {
        TestLayer layer = layerOf(packed ? "maps/p/" : "maps/l/", "sat", 2, 1);
        layer.packed = packed;
        writeLayer(layer);
        Conf small;
        small.packed = packed;
        small.endX = 2;
        small.endY = 1;
        small.pos[0] = 1;
        small.pos[1] = 0;
        ASSERT_TRUE(open(packed ? "p" : "l", small));
        expectView(0, 0, 0, 0);
        fill(testScreen(), 0, 0, 0);
        map.draw();
        EXPECT_EQ(spotAt(testScreen(), 10, 100).id, 0);
        EXPECT_EQ(spotAt(testScreen(), 300, 100).id, 1);
        // The view may still slide within the grid; the cells of column 2
        // and row 1 lie outside the area and show the missing-tile picture.
        EXPECT_TRUE(map.move(300, 100));
        map.draw();
        EXPECT_EQ(spotAt(testScreen(), 100, 100).id, 1);
        Uint8 r, g, b;
        pixelAt(testScreen(), 310, 230, &r, &g, &b);
        EXPECT_GE(r, 248) << "packed=" << packed;
        EXPECT_EQ(g, 0);
        EXPECT_GE(b, 248);
        EXPECT_FALSE(map.move(500, 0));
        EXPECT_EQ(map.tiles[0].x, 0);
    }
}

TEST_F(MapView, SavedPositionIsWrittenWithABackup)
{
    Conf conf;
    ASSERT_TRUE(open("a", conf));
    map.setCentre(ViewCentre{3, 4, 200, 300});
    ASSERT_TRUE(map.saveLastPosition());
    ConfParser saved("maps/a/map.conf", 1);
    int v[4];
    saved.intValue("pos_x", &v[0]);
    saved.intValue("pos_y", &v[1]);
    saved.intValue("move_x", &v[2]);
    saved.intValue("move_y", &v[3]);
    EXPECT_EQ(std::vector<int>(v, v + 4), (std::vector<int>{3, 4, 200, 300}));
    EXPECT_EQ(readFile("maps/a/map.conf~"), conf.text());
    // The same position saved again, then the end of the run: the backup
    // still holds the position before the first save.
    ASSERT_TRUE(map.saveLastPosition());
    map.create(testScreen(), "maps/a/map.conf");
    EXPECT_EQ(readFile("maps/a/map.conf~"), conf.text());

    Map reopened(testScreen(), "maps/a/map.conf");
    EXPECT_EQ(reopened.tiles[0].x, 3);
    EXPECT_EQ(reopened.grid.offsetY, 180);
}

TEST_F(MapView, ExtremeNumbersFromTheFileNeitherOverflowNorHang)
{
    Conf conf;
    conf.endX = 2000;
    conf.pos[0] = 2147483647;
    conf.pos[1] = -2147483647 - 1;
    conf.pos[2] = 2000000000;
    conf.pos[3] = -2000000000;
    ASSERT_TRUE(open("a", conf));
    EXPECT_EQ(map.tiles[0].x, 2000 - 3) << "placed at the area's right end";
    EXPECT_EQ(map.tiles[0].y, 0);
    // A pan after such a start is one frame's worth, not millions of shifts.
    const unsigned long before = loads();
    EXPECT_TRUE(map.move(-10, 10));
    EXPECT_LE(loads() - before, 6u);
    // Moves of many screens land where shifting would, stopped at the edges.
    EXPECT_FALSE(map.move(2000000000, 0));
    expectView(1997, 0, 448, 10);
    double x0, y0, x1, y1;
    map.worldPixel(0, 0, &x0, &y0);
    EXPECT_TRUE(map.move(-100 * 256, 0));
    map.worldPixel(0, 0, &x1, &y1);
    EXPECT_EQ(x0 - x1, 100 * 256);
    EXPECT_EQ(y1, y0);

    Conf levels;
    levels.zooms = {2147483647, -2147483647 - 1, 10};
    ASSERT_TRUE(open("b", levels));
    EXPECT_FALSE(map.zoomIn());
    EXPECT_FALSE(map.zoomOut());
    levels.api = "seznam";
    levels.endX = levels.endY = 100000;
    ASSERT_TRUE(open("c", levels));
    map.zoomIn();
    map.zoomOut();
}
