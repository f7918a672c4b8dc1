// An elevation archive laid over a base archive in the viewer: shading on
// the lee side, contour lines where the heights say, the opacity, the
// choice kept in the base's position file, nothing read without it.
#include "Archives.h"
#include "CellComposer.h"
#include "ConfParser.h"
#include "Map.h"
#include "Packages.h"
#include "TestSupport.h"
#include "Terrain.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// Level 10, tiles 510..513 by 340..343: a light grey base, and a cone
// 3000 m high falling 20 m a pixel around world pixel (peakX, peakY).
const int z = 10, first = 510, firstRow = 340, count = 4;
const double peakX = 512 * 256 + 40, peakY = 342 * 256 + 30;

double cone(double x, double y)
{
    return 3000 - 20 * std::hypot(x - peakX, y - peakY);
}

std::string greyPng()
{
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 256, 256, 24, 0xff, 0xff00, 0xff0000, 0);
    fill(s, 200, 200, 200);
    std::string png = encodePng(s);
    SDL_FreeSurface(s);
    return png;
}

void writeArchives()
{
    mkdir("maps", 0755);
    std::vector<std::tuple<int, int, int, std::string>> base, dem;
    const std::string grey = greyPng();
    for (int x = first; x < first + count; ++x)
        for (int y = firstRow; y < firstRow + count; ++y) {
            const int row = (1 << z) - 1 - y; // MBTiles rows from the south
            base.emplace_back(z, x, row, grey);
            dem.emplace_back(z, x, row, terrariumTile(256, cone, x * 256, y * 256));
        }
    writeMBTiles("maps/base.mbtiles", base, {{"name", "Base"}, {"format", "png"}, {"attribution", "Base makers"}});
    writeMBTiles("maps/hill.mbtiles", dem,
                 {{"name", "Hill"}, {"format", "png"}, {"encoding", "terrarium"}, {"attribution", "Height makers"}});
}

// Luminance of world pixel (x, y) in the finished cells; -1 when no cell
// holds it.
int grey(const Map& map, double x, double y)
{
    const long long tx = static_cast<long long>(x) / 256, ty = static_cast<long long>(y) / 256;
    for (const Tile& t : map.tiles)
        if (t.ready && t.image && t.key.x == tx && t.key.y == ty) {
            const std::size_t i = static_cast<std::size_t>(static_cast<long long>(y) % 256) * 256 +
                                  static_cast<std::size_t>(static_cast<long long>(x) % 256);
            unsigned r, g, b;
            Pixels::unpack565(t.image->bitmap->rgb[i], &r, &g, &b);
            return static_cast<int>((r + g + b) / 3);
        }
    return -1;
}

class TerrainLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeArchives();
        ASSERT_TRUE(map.create(testScreen(), "maps/base.mbtiles"));
    }
    TempDir dir;
    Map map;
};

} // namespace

TEST_F(TerrainLayer, ShadesTheLeeSideAndDrawsContoursAtTheirHeights)
{
    EXPECT_EQ(map.offeredArchives(), std::vector<std::string>{"hill.mbtiles"});
    const int lee = grey(map, peakX + 6, peakY + 6), plain = grey(map, peakX - 6, peakY - 6);
    ASSERT_GE(lee, 0);
    EXPECT_EQ(lee, plain) << "no elevations laid: the base alone";

    std::string why;
    ASSERT_TRUE(map.layArchive("hill.mbtiles", 100, &why)) << why;
    EXPECT_EQ(map.credits(), "Base makers; Height makers");
    const int shaded = grey(map, peakX + 6, peakY + 6), lit = grey(map, peakX - 6, peakY - 6);
    EXPECT_LT(shaded, lit - 20) << "the slope facing away from the north-west light is darker";
    // 2800 m lies 10 px from the peak, 2700 m 15 px: a line at the first only.
    const int line = grey(map, peakX + 10, peakY), between = grey(map, peakX + 15, peakY);
    EXPECT_LT(line, between - 15) << "a contour line at 2800 m";

    ASSERT_TRUE(map.layArchive("hill.mbtiles", 50, &why)) << why;
    const int half = grey(map, peakX + 6, peakY + 6);
    EXPECT_NEAR(lit - half, (lit - shaded) / 2.0, 3 + 0.1 * (lit - shaded)) << "half the opacity, half the darkness";

    Map again; // the choice is in the base's position file
    ASSERT_TRUE(again.create(testScreen(), "maps/base.mbtiles"));
    ASSERT_EQ(again.laid.laid.size(), 1u);
    EXPECT_EQ(again.laid.laid[0].file, "hill.mbtiles");
    EXPECT_EQ(again.laid.laid[0].opacity, 50);
    EXPECT_EQ(grey(again, peakX + 6, peakY + 6), half);
    ConfParser kept("maps/base.mbtiles.conf", 1);
    std::string text;
    EXPECT_TRUE(kept.value("overlays", &text) && text == "50:hill.mbtiles") << text;
}

TEST_F(TerrainLayer, PastTheDeepestLevelTheElevationsAreUpsampledAndAMapWithoutThemReadsNone)
{
    // Nothing laid: one read per cell of the base, no elevation drawn.
    std::size_t inArea = 0;
    for (const Tile& t : map.tiles)
        inArea += t.key.x >= first && t.key.x < first + count && t.key.y >= firstRow && t.key.y < firstRow + count;
    EXPECT_EQ(map.pipeline.composer->decoded, inArea);
    EXPECT_EQ(map.pipeline.composer->terrainCells, 0u);

    // Laid over level 11 of another base, the level 10 elevations drawn
    // twice as large: still darker on the lee side.
    std::vector<std::tuple<int, int, int, std::string>> deeper;
    const std::string greyTile = greyPng();
    for (int x = 2 * 512 - 2; x < 2 * 512 + 2; ++x)
        for (int y = 2 * 342 - 2; y < 2 * 342 + 2; ++y)
            deeper.emplace_back(z + 1, x, (1 << (z + 1)) - 1 - y, greyTile);
    writeMBTiles("maps/fine.mbtiles", deeper, {{"name", "Fine"}, {"format", "png"}});
    Map fine;
    ASSERT_TRUE(fine.create(testScreen(), "maps/fine.mbtiles"));
    std::string why;
    ASSERT_TRUE(fine.layArchive("hill.mbtiles", 100, &why)) << why;
    EXPECT_GT(fine.pipeline.composer->terrainCells, 0u);
    EXPECT_LT(grey(fine, 2 * peakX + 12, 2 * peakY + 12), grey(fine, 2 * peakX - 12, 2 * peakY - 12) - 20);
}
