#include "Lang.h"
#include "Map.h"
#include "MapUI.h"
#include "PackageCaptions.h"
#include "Menu.h"
#include "Packages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

class MapMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        mkdir("lang", 0755);
        writeFile("lang/en.conf", "no_packages=No packages\noverlay_none=None\ntype_google_satellite=Satellite\n"
                                  "type_google_base=Road map\ntype_google_overlay=Labels\n");
        lang.load(std::string("en.conf"));
        menu.create(testScreen(), SDL_Rect{43, 90, 224, 80}, 18, testFonts().text, LineColours());
        page = menu.model.createMenu("Packages", -1, 9);
        layers = menu.model.createMenu("Layers", -1, 0);
        menu.model.addItem(layers, 77, "kept", false);
    }

    const std::vector<MenuItem>& lines(int p) { return menu.model.pages[static_cast<std::size_t>(p)].items; }

    void package(const std::string& name, const std::string& extra)
    {
        mkdir("maps", 0755);
        mkdir(("maps/" + name).c_str(), 0755);
        writeFile("maps/" + name + "/map.conf", "api=google\npacked=no\nzoom=10\nzoom_actual=10\nbegin_x=0\nbegin_y=0\n"
                                                "end_x=4\nend_y=4\n" + extra);
    }

    TempDir dir;
    ConfParser settings{"none.conf", 1};
    Lang lang{"en.conf", &settings};
    Map map;
    MapUI ui{&map, testScreen(), &lang};
    Menu menu;
    int page = 0, layers = 0;
};

TEST_F(MapMenus, NoPackageDirectory)
{
    EXPECT_FALSE(ui.packageList(&menu, page));
    ASSERT_EQ(lines(page).size(), 3u) << "and where packages go";
    EXPECT_EQ(lines(page)[0].id, -1);
    EXPECT_TRUE(lines(page)[0].disabled);
    EXPECT_EQ(lines(page)[0].text, "No packages");
    mkdir("maps", 0755);
    mkdir("maps/empty", 0755);
    EXPECT_FALSE(ui.packageList(&menu, page));
    EXPECT_EQ(lines(page).size(), 3u) << "cleared, then the same lines";
    EXPECT_FALSE(ui.loadPackage(0));
}

TEST_F(MapMenus, ListsUsablePackagesAndOpensThem)
{
    package("a", "caption=Alpha\ntype=sat\n");
    package("b", "type=wab\ntype=wat\n");
    mkdir("maps/c", 0755);
    writeFile("maps/c/map.conf", "");
    ASSERT_TRUE(ui.packageList(&menu, page));
    ASSERT_EQ(lines(page).size(), 2u);
    EXPECT_EQ(ui.packageFiles.size(), 2u);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(lines(page)[static_cast<std::size_t>(i)].id, i);
    const int alpha = ui.packageCaptions[0] == "Alpha" ? 0 : 1;
    EXPECT_EQ(ui.packageCaptions[static_cast<std::size_t>(1 - alpha)], "") << "no caption key: empty caption";

    EXPECT_FALSE(ui.bgList(&menu, layers)) << "nothing open yet";
    EXPECT_EQ(lines(layers)[0].text, "kept");
    EXPECT_FALSE(ui.loadPackage(-1));
    EXPECT_FALSE(ui.loadPackage(2));
    EXPECT_EQ(ui.currentPackage, -1);

    ASSERT_TRUE(ui.loadPackage(alpha));
    EXPECT_EQ(ui.currentPackage, alpha);
    EXPECT_FALSE(ui.bgList(&menu, layers)) << "one background: no choice";
    ASSERT_EQ(lines(layers).size(), 1u);
    EXPECT_EQ(lines(layers)[0].text, "Satellite");
    EXPECT_FALSE(ui.overlayList(&menu, layers));
    EXPECT_TRUE(lines(layers).empty());

    ASSERT_TRUE(ui.loadPackage(1 - alpha));
    EXPECT_TRUE(ui.bgList(&menu, layers));
    EXPECT_EQ(lines(layers)[1].text, "Labels");
}

TEST_F(MapMenus, OverlayPageEndsWithNoOverlay)
{
    package("a", "type=sat\ntype=sat-night\noverlay=wat\noverlay=wab\n");
    ASSERT_TRUE(ui.packageList(&menu, page));
    ASSERT_TRUE(ui.loadPackage(0));
    ASSERT_TRUE(ui.overlayList(&menu, layers));
    ASSERT_EQ(lines(layers).size(), 3u);
    EXPECT_EQ(lines(layers)[0].id, 0);
    EXPECT_EQ(lines(layers)[1].id, 1);
    EXPECT_EQ(lines(layers)[2].id, -256);
    EXPECT_EQ(lines(layers)[2].text, "None");
    EXPECT_EQ(lines(layers)[0].text, "Labels");
    EXPECT_EQ(lines(layers)[1].text, "Road map");
    ASSERT_TRUE(ui.bgList(&menu, layers));
    EXPECT_EQ(lines(layers)[0].text, "Satellite (sat)") << "a shared label gets the layer's name";
    EXPECT_EQ(lines(layers)[1].text, "Satellite (sat-night)");
}

TEST_F(MapMenus, HugeLayerListsAreCut)
{
    std::string types;
    for (int i = 0; i < 60000; ++i) // within the 1 MB a description may have
        types += "type=s" + std::to_string(i) + "\n";
    package("a", types);
    ASSERT_TRUE(ui.packageList(&menu, page));
    ASSERT_TRUE(ui.loadPackage(0));
    ASSERT_TRUE(ui.bgList(&menu, layers));
    ASSERT_EQ(lines(layers).size(), Map::maxLayers);
    EXPECT_EQ(lines(layers)[63].text, "Satellite (s63)");
}

TEST_F(MapMenus, CentreCross)
{
    writeImage("cross.png", 20, 20, 255, 255, 255);
    writeImage("wide.png", 320, 10, 255, 255, 255);
    ui.loadCenterCross("cross.png");
    expectRect(ui.crossRect, 150, 110, 20, 20);
    fill(testScreen(), 0, 0, 0);
    ui.drawCenterCross();
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{150, 110, 20, 20}, 255, 255, 255), 0);
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 0, 320, 100}, 0, 0, 0), 0);
    ui.loadCenterCross("wide.png");
    fill(testScreen(), 0, 0, 0);
    ui.drawCenterCross();
    EXPECT_EQ(pixelsDifferentFrom(testScreen(), SDL_Rect{0, 0, 320, 240}, 0, 0, 0), 0) << "as wide as the screen";
    ui.loadCenterCross("missing.png");
    expectRect(ui.crossRect, 0, 0, 0, 0);
    ui.drawCenterCross();
}

TEST(PackageCaptions, SortedByCaptionThenFileAndSharedCaptionsNameTheirFile)
{
    std::vector<PackageCaptions::Entry> entries{{"OpenMapTiles", "zurich.mbtiles", "maps/zurich.mbtiles"},
                                                {"alps", "alps", "maps/alps/map.conf"},
                                                {"OpenMapTiles", "bern.pmtiles", "maps/bern.pmtiles"},
                                                {"Bern", "b", "maps/b/map.conf"}};
    PackageCaptions::arrange(&entries);
    std::vector<std::string> captions, paths;
    for (const auto& e : entries) {
        captions.push_back(e.caption);
        paths.push_back(e.path);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"alps", "Bern", "OpenMapTiles (bern.pmtiles)",
                                                  "OpenMapTiles (zurich.mbtiles)"}));
    EXPECT_EQ(paths.back(), "maps/zurich.mbtiles");
    // A shared caption too long for the line: the file comes first, where the cut leaves it.
    entries = {{"Alps north to south", "b.mbtiles", "maps/b.mbtiles"}, {"Alps north to south", "a.mbtiles", ""}};
    PackageCaptions::arrange(&entries, [](const std::string& line) { return line.size() <= 22; });
    EXPECT_EQ(entries[0].caption, "a.mbtiles: Alps north to south");
    EXPECT_EQ(entries[1].caption, "b.mbtiles: Alps north to south");
}
