// Web Mercator positions, the scale bar, and what the viewer shows.
#include "Map.h"
#include "Mercator.h"
#include "Packages.h"
#include "PositionOverlay.h"
#include "TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(MercatorTest, KnownPlacesAndRoundTrips)
{
    double lon, lat;
    Mercator::toLonLat(256, 256, 1, &lon, &lat); // the world's centre
    EXPECT_NEAR(lon, 0, 1e-12);
    EXPECT_NEAR(lat, 0, 1e-12);
    Mercator::toLonLat(0, 0, 5, &lon, &lat);
    EXPECT_NEAR(lon, -180, 1e-12);
    EXPECT_NEAR(lat, 85.0511287798, 1e-9);
    Mercator::toLonLat(512, 256, 2, &lon, &lat); // corner of tile 2/2/1
    EXPECT_NEAR(lon, 0, 1e-12);
    EXPECT_NEAR(lat, 66.51326044311186, 1e-9);
    // Prague's Old Town Square lies in tile 12/2212/1387 of the usual tile
    // servers; at level 17, there and back within a metre.
    double x, y;
    Mercator::toPixel(14.42076, 50.08712, 12, &x, &y);
    EXPECT_EQ(static_cast<int>(x / 256), 2212);
    EXPECT_EQ(static_cast<int>(y / 256), 1387);
    Mercator::toPixel(14.42076, 50.08712, 17, &x, &y);
    Mercator::toLonLat(x, y, 17, &lon, &lat);
    const double metre = 1 / 111320.0;
    EXPECT_NEAR(lon, 14.42076, metre);
    EXPECT_NEAR(lat, 50.08712, metre);
    EXPECT_EQ(Mercator::formatLonLat(14.42076, 50.08712), "50.08712\xC2\xB0 N 14.42076\xC2\xB0 E");
    EXPECT_EQ(Mercator::formatLonLat(-70.5, -33.25), "33.25000\xC2\xB0 S 70.50000\xC2\xB0 W");
}

TEST(MercatorTest, ScaleBarAtTheEquatorAndAt60North)
{
    EXPECT_NEAR(Mercator::metresPerPixel(0, 0), 156543.034, 0.001);
    Mercator::ScaleBar bar = Mercator::scaleBar(Mercator::metresPerPixel(0, 10), 100); // 152.9 m/px
    EXPECT_EQ(bar.label, "15 km");
    EXPECT_EQ(bar.pixels, 98);
    bar = Mercator::scaleBar(Mercator::metresPerPixel(60, 10), 100); // half as many metres
    EXPECT_EQ(bar.label, "6 km");
    EXPECT_EQ(bar.pixels, 78);
    bar = Mercator::scaleBar(Mercator::metresPerPixel(50, 17), 100);
    EXPECT_EQ(bar.label, "60 m");
    for (double perPixel = 0.01; perPixel < 1e5; perPixel *= 1.37) {
        bar = Mercator::scaleBar(perPixel, 100);
        EXPECT_GE(bar.pixels, 66) << perPixel;
        EXPECT_LE(bar.pixels, 100) << perPixel;
    }
}

TEST(PositionOverlayTest, ShowsTheCentreOfGoogleNumberedPackagesOnly)
{
    TempDir dir;
    writeMissingTileImage("media/na.png");
    writeSamplePackage("maps/a/", "A", false); // level 10 = Web Mercator level 7, tiles (0..5, 0..3)
    Map map;
    ASSERT_TRUE(map.create(testScreen(), "maps/a/map.conf"));
    std::string position, label;
    int pixels = 0;
    ASSERT_TRUE(PositionOverlay::describe(map, &position, &pixels, &label));
    // Grid origin (1, 1), view at (100, 50): the centre is world pixel
    // (256 + 260, 256 + 170) at level 7.
    double lon, lat;
    Mercator::toLonLat(516, 426, 7, &lon, &lat);
    EXPECT_EQ(position, Mercator::formatLonLat(lon, lat));
    EXPECT_GT(pixels, 60);

    mkdir("maps/s", 0755);
    writeFile("maps/s/map.conf", "api=seznam\npacked=no\ntype=base\nzoom=13\nzoom_actual=13\n"
                                 "begin_x=8000000\nbegin_y=8000000\nend_x=8010000\nend_y=8010000\n");
    ASSERT_TRUE(map.create(testScreen(), "maps/s/map.conf"));
    EXPECT_FALSE(PositionOverlay::describe(map, &position, &pixels, &label)) << "Seznam's plane is not Web Mercator";
}
