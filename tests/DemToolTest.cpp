// .hgt tiles read, mended and turned into an elevation archive.
#include "DemBuilder.h"
#include "ElevationSource.h"
#include "HgtTile.h"
#include "Terrain.h"
#include "TestSupport.h"

#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

void write(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

TEST(HgtTile, NamesSizesByteOrderAndVoids)
{
    int s = 0, w = 0;
    EXPECT_TRUE(HgtTile::cornerFromName("dem/N57E011.hgt", &s, &w));
    EXPECT_EQ(s, 57);
    EXPECT_EQ(w, 11);
    EXPECT_TRUE(HgtTile::cornerFromName("s01w072.HGT", &s, &w));
    EXPECT_EQ(s, -1);
    EXPECT_EQ(w, -72);
    for (const char* bad : {"foo.hgt", "N91E000.hgt", "N10E180.hgt", "X10E010.hgt", "N1E010.hgt"})
        EXPECT_FALSE(HgtTile::cornerFromName(bad, &s, &w)) << bad;
    HgtTile t;
    std::string why;
    std::string bytes = hgtBytes(1201, [](int x, int y) { return x == 5 && y == 0 ? 258 : x == 6 ? -5 : 100; });
    ASSERT_TRUE(HgtTile::fromBytes(bytes, &t, &why)) << why;
    EXPECT_EQ(t.samples, 1201);
    EXPECT_EQ(t.at(5, 0), 258);
    EXPECT_EQ(t.at(6, 7), -5);
    bytes.pop_back();
    EXPECT_FALSE(HgtTile::fromBytes(bytes, &t, &why));
    EXPECT_NE(why.find("truncated"), std::string::npos) << why;
    EXPECT_FALSE(HgtTile::fromBytes(std::string(1000 * 1000 * 2, '\0'), &t, &why));
    // A small hole is filled from around it; a large one keeps its middle void.
    ASSERT_TRUE(HgtTile::fromBytes(hgtBytes(1201, [](int x, int y) {
                                       const bool small = x >= 10 && x < 13 && y >= 10 && y < 13;
                                       const bool large = x >= 500 && x < 600 && y >= 500 && y < 600;
                                       return small || large ? HgtTile::voidValue : 100;
                                   }),
                                   &t, &why));
    EXPECT_EQ(t.voids(), 9u + 10000u);
    t.fillVoids(16);
    EXPECT_EQ(t.at(11, 11), 100);
    EXPECT_EQ(t.at(500, 500), 100);
    EXPECT_EQ(t.at(550, 550), HgtTile::voidValue);
    EXPECT_EQ(t.voids(), 68u * 68u);
}

TEST(DemBuilder, AnArchiveOverTheTilesAreaWithoutVoidsDrawnAsDepths)
{
    TempDir dir;
    // Rising 1 m a sample eastwards, with a hole too large to fill.
    write("N10E020.hgt", hgtBytes(1201, [](int x, int y) {
              return x >= 300 && x < 700 && y >= 300 && y < 700 ? HgtTile::voidValue : 200 + x;
          }));
    std::string notes, error;
    DemBuilder::Options options;
    options.note = [&](const std::string& text) { notes += text; };
    std::uint64_t lastDone = 0, lastTotal = 0;
    options.progress = [&](std::uint64_t done, std::uint64_t total) { lastDone = done, lastTotal = total; };
    ASSERT_TRUE(DemBuilder::build({"N10E020.hgt"}, "dem.pmtiles", options, &error)) << error;
    EXPECT_NE(notes.find("left transparent"), std::string::npos) << notes;
    EXPECT_EQ(lastDone, lastTotal);
    auto dem = ElevationSource::open("dem.pmtiles", ElevationEncoding::none, &error);
    ASSERT_TRUE(dem) << error;
    EXPECT_EQ(dem->encoding(), ElevationEncoding::terrarium);
    EXPECT_EQ(dem->deepest(), 11);
    double m;
    for (double lon : {20.05, 20.1, 20.8, 20.95}) {
        ASSERT_TRUE(dem->elevationAt(lon, 10.1, &m)) << lon;
        EXPECT_NEAR(m, 200 + (lon - 20) * 1200, 0.6) << lon;
    }
    EXPECT_FALSE(dem->elevationAt(20.4, 10.6, &m)) << m; // the hole
    EXPECT_FALSE(dem->elevationAt(21.5, 10.5, &m));      // beyond the tile
    EXPECT_EQ(dem->problem(), "");
    EXPECT_EQ(DemBuilder::deepestLevel(1.0 / 3600), 13);
}

TEST(DemBuilder, BadTilesAreNamedAndNothingIsWritten)
{
    TempDir dir;
    write("N10E020.hgt", hgtBytes(1201, [](int, int) { return 5; }).substr(1));
    write("elevation.hgt", hgtBytes(1201, [](int, int) { return 5; }));
    std::string error;
    EXPECT_FALSE(DemBuilder::build({"N10E020.hgt"}, "dem.pmtiles", {}, &error));
    EXPECT_NE(error.find("N10E020.hgt: is 2884801 bytes"), std::string::npos) << error;
    EXPECT_FALSE(DemBuilder::build({"elevation.hgt"}, "dem.pmtiles", {}, &error));
    EXPECT_NE(error.find("name does not give"), std::string::npos) << error;
    EXPECT_FALSE(DemBuilder::build({"missing/N10E020.hgt"}, "dem.pmtiles", {}, &error));
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"N10E020.hgt", "elevation.hgt"}));
}

TEST(DemBuilder, TheRealTileBesideTheProject)
{
    const std::string hgt = sharedFixture("dem/N57E011.hgt");
    if (access(hgt.c_str(), R_OK) != 0)
        GTEST_SKIP() << "no fixtures beside the project";
    HgtTile tile;
    std::string error;
    ASSERT_TRUE(HgtTile::read(hgt, &tile, &error)) << error;
    EXPECT_EQ(tile.samples, 1201);
    TempDir dir;
    DemBuilder::Options options;
    options.zoomMax = 9; // enough to check, quicker than the data's 11
    ASSERT_TRUE(DemBuilder::build({hgt}, "coast.pmtiles", options, &error)) << error;
    auto dem = ElevationSource::open("coast.pmtiles", ElevationEncoding::none, &error);
    ASSERT_TRUE(dem) << error;
    // At a sample's place, within the range of the samples around it.
    int checked = 0;
    for (int j = 100; j < 1100; j += 97)
        for (int i = 100; i < 1100; i += 89) {
            const double lon = 11 + i / 1200.0, lat = 58 - j / 1200.0;
            double m;
            ASSERT_TRUE(dem->elevationAt(lon, lat, &m));
            int low = 99999, high = -99999;
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx) {
                    low = std::min<int>(low, tile.at(i + dx, j + dy));
                    high = std::max<int>(high, tile.at(i + dx, j + dy));
                }
            EXPECT_GE(m, low - 0.5);
            EXPECT_LE(m, high + 0.5);
            ++checked;
        }
    EXPECT_GT(checked, 100);
}
