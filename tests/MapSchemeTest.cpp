#include "ConfParser.h"
#include "GoogleAPI.h"
#include "SeznamAPI.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

// A description as if read from maps/city/map.conf.
ConfParser description(const std::string& text, const std::string& file = "maps/city/map.conf")
{
    ConfParser conf(file, 1);
    std::istringstream in(text);
    conf.read(in);
    return conf;
}

const char* const googleArea = "packed=no\nbegin_x=1100\nbegin_y=700\nend_x=1110\nend_y=710\n";
const char* const seznamArea = "packed=no\nbegin_x=8000\nbegin_y=8000\nend_x=9000\nend_y=9000\n";

} // namespace

TEST(GoogleScheme, FileNamesAndLabels)
{
    ConfParser conf = description(std::string(googleArea) + "zoom=5\nzoom_actual=5\n");
    GoogleAPI api(&conf);
    EXPECT_EQ(api.directory, "maps/city/");
    EXPECT_EQ(api.tileFileName("wab", 3, 4), "maps/city/wab/v=wab&x=1103&y=704&zoom=5");
    EXPECT_EQ(api.typeAlias("wab"), "type_google_base");
    EXPECT_EQ(api.typeAlias("wat"), "type_google_overlay");
    EXPECT_EQ(api.typeAlias("wap"), "type_google_terrain");
    EXPECT_EQ(api.typeAlias("sat"), "type_google_satellite");
    EXPECT_EQ(api.typeAlias("w"), "type_google_base");
    EXPECT_EQ(api.typeAlias("wa"), "type_google_base");
    EXPECT_EQ(api.copyright, "") << "no attribution: no credit, rather than a wrong one";

    ConfParser bare = description("packed=no\n", "map.conf");
    GoogleAPI noDirectory(&bare);
    EXPECT_EQ(noDirectory.directory, "");
}

TEST(GoogleScheme, ZoomStepsScaleTheArea)
{
    ConfParser conf = description("packed=no\nbegin_x=5\nbegin_y=5\nend_x=11\nend_y=11\nzoom=15\nzoom=17\nzoom=16\nzoom=16\nzoom_actual=16\n");
    GoogleAPI api(&conf);
    EXPECT_EQ(api.zoomLevels, (std::vector<int>{17, 16, 15}));
    EXPECT_EQ(api.zoomOut(), 2);
    EXPECT_EQ(api.beginX, 2);
    EXPECT_EQ(api.endX, 5);
    EXPECT_EQ(api.width, 3);
    EXPECT_EQ(api.zoomOut(), 0);
    EXPECT_EQ(api.zoomValue(), 17);
    EXPECT_EQ(api.zoomIn(), 2);
    EXPECT_EQ(api.beginX, 4);
    EXPECT_EQ(api.endX, 10);
    EXPECT_EQ(api.width, 6);
    EXPECT_EQ(api.zoomIn(), 2);
    EXPECT_EQ(api.zoomValue(), 15);
    EXPECT_EQ(api.zoomIn(), 0);
    EXPECT_EQ(api.width, 12);
}

TEST(GoogleScheme, GapInTheLevelsScalesAreaAndFactorAlike)
{
    ConfParser conf = description("packed=no\nbegin_x=4\nbegin_y=4\nend_x=8\nend_y=6\nzoom=17\nzoom=15\nzoom_actual=17\n");
    GoogleAPI api(&conf);
    EXPECT_EQ(api.zoomIn(), 4);
    EXPECT_EQ(api.beginX, 16);
    EXPECT_EQ(api.endX, 32);
    EXPECT_EQ(api.height, 8);
    EXPECT_EQ(api.zoomOut(), 4);
    EXPECT_EQ(api.beginX, 4);
    EXPECT_EQ(api.height, 2);
}

TEST(SeznamScheme, FileNamesLevelsAndWidth)
{
    ConfParser conf = description(std::string(seznamArea) + "zoom=13\nzoom=14\nzoom=12\nzoom=13\nzoom_actual=13\n");
    SeznamAPI api(&conf);
    EXPECT_EQ(api.zoomLevels, (std::vector<int>{12, 13, 14}));
    EXPECT_EQ(api.beginX, 0x8000);
    EXPECT_EQ(api.endY, 0x9000);
    EXPECT_EQ(api.tileFileName("base", 2, 3), "maps/city/base/13_8010000_8fe0000");
    EXPECT_EQ(api.width, 512);
    EXPECT_EQ(api.zoomIn(), 2);
    EXPECT_EQ(api.width, 1024);
    EXPECT_EQ(api.zoomIn(), 0);
    EXPECT_EQ(api.zoomOut(), 2);
    EXPECT_EQ(api.zoomOut(), 2);
    EXPECT_EQ(api.width, 256);
    EXPECT_EQ(api.zoomOut(), 0);
    EXPECT_EQ(api.beginX, 0x8000);
    EXPECT_EQ(api.endX, 0x9000);

    ConfParser low = description("packed=no\nbegin_x=0\nbegin_y=0\nend_x=10\nend_y=10\nzoom=16\nzoom_actual=16\n");
    SeznamAPI lowApi(&low);
    EXPECT_EQ(lowApi.tileFileName("base", 15, 0), "maps/city/base/16_f000_f000");
    EXPECT_EQ(lowApi.typeAlias("ophoto"), "type_seznam_ophoto");
}

TEST(SeznamScheme, AttributionTable)
{
    ConfParser conf = description(std::string(seznamArea) + "zoom=13\nzoom_actual=13\n");
    SeznamAPI api(&conf);
    const struct {
        const char* bg;
        const char* overlay;
        const char* text;
    } cases[] = {
        {"base", "", "PLANstudio"},
        {"base", "hybrid", "PLANstudio"},
        {"turist", "hybrid", "SHOCart, PLANStudio"},
        {"ophoto0203", "ttur", "GEODIS BRNO, SHOCart"},
        {"ophoto", "tcyklo", "GEODIS BRNO, SHOCart"},
        {"turist", "tcyklo", "SHOCart"},
        {"relief", "", ""},
        {"relief", "relief-l", ", Seznam.cz"},
        {"base", "army", "PLANstudio, M\xC5\xBDP \xC4\x8CR"},
    };
    for (const auto& c : cases) {
        api.setBg(c.bg);
        api.setOverlay(c.overlay);
        EXPECT_EQ(api.copyright, std::string("\xC2\xA9 ") + c.text) << c.bg << " + " << c.overlay;
    }
}

TEST(Schemes, AZoomStepToAnEmptyAreaIsRefused)
{
    // One column at an even x: halved, it would be 0 wide.
    ConfParser g = description("packed=no\nbegin_x=1100\nbegin_y=700\nend_x=1101\nend_y=702\nzoom=5\nzoom=4\nzoom_actual=5\n");
    GoogleAPI google(&g);
    EXPECT_EQ(google.zoomOut(), 0);
    EXPECT_EQ(google.zoomValue(), 5);
    EXPECT_EQ(google.width, 1);
    EXPECT_EQ(google.beginX, 1100);

    // 0x100 units: one tile at level 8, none at level 7.
    ConfParser z = description("packed=no\nbegin_x=8000\nbegin_y=8000\nend_x=8100\nend_y=8100\nzoom=7\nzoom=8\nzoom_actual=8\n");
    SeznamAPI seznam(&z);
    ASSERT_TRUE(seznam.valid());
    const int width = seznam.width;
    EXPECT_EQ(seznam.zoomOut(), 0);
    EXPECT_EQ(seznam.zoomValue(), 8);
    EXPECT_EQ(seznam.width, width);
}

TEST(SchemeSave, GoogleWritesNineKeysAndLeavesABackup)
{
    TempDir dir;
    writeFile("map.conf", std::string("api=google\n") + googleArea +
                              "zoom=5\nzoom=4\nzoom_actual=5\npos_x=0\npos_y=0\nmove_x=0\nmove_y=0\ntype=wab\n");
    ConfParser conf("map.conf", 1);
    GoogleAPI api(&conf);
    ASSERT_EQ(api.zoomIn(), 2);
    ASSERT_TRUE(api.savePosition(ViewCentre{3, 4, 200, 300}));
    EXPECT_EQ(readFile("map.conf"), "api=google\npacked=no\nbegin_x=2200\nbegin_y=1400\nend_x=2220\nend_y=1420\n"
                                    "zoom=5\nzoom=4\nzoom_actual=4\npos_x=3\npos_y=4\nmove_x=200\nmove_y=300\ntype=wab\n");
    EXPECT_TRUE(fileExists("map.conf~"));
}

TEST(SchemeSave, SeznamWritesFiveKeys)
{
    TempDir dir;
    writeFile("map.conf", std::string(seznamArea) + "zoom=13\nzoom_actual=13\npos_x=1\npos_y=1\nmove_x=1\nmove_y=1\n");
    ConfParser conf("map.conf", 1);
    SeznamAPI api(&conf);
    ASSERT_TRUE(api.savePosition(ViewCentre{7, 8, 9, 10}));
    EXPECT_EQ(readFile("map.conf"), std::string(seznamArea) + "zoom=13\nzoom_actual=13\npos_x=7\npos_y=8\nmove_x=9\nmove_y=10\n");
}

TEST(SchemeSave, MissingKeyChangesNothing)
{
    TempDir dir;
    const std::string text = "packed=no\nbegin_x=1100\nbegin_y=700\nend_x=1110\nzoom=5\nzoom_actual=5\n"
                             "pos_x=0\npos_y=0\nmove_x=0\nmove_y=0\n";
    writeFile("map.conf", text);
    {
        ConfParser conf("map.conf", 1);
        GoogleAPI api(&conf);
        EXPECT_FALSE(api.savePosition(ViewCentre{1, 2, 3, 4}));
        EXPECT_FALSE(conf.changed);
        std::string beginX;
        conf.value("begin_x", &beginX);
        EXPECT_EQ(beginX, "1100");
    }
    EXPECT_EQ(readFile("map.conf"), text);
    EXPECT_FALSE(fileExists("map.conf~"));
}
