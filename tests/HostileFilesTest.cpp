// Package folders, settings and tracks made to hurt the viewer: links and
// FIFOs where files should be, leftovers of interrupted saves. Each case
// is the file an attack used, made here, and what must happen instead.
#include "Archives.h"
#include "ConfParser.h"
#include "Extract.h"
#include "Files.h"
#include "Gpx.h"
#include "Lang.h"
#include "Map.h"
#include "MapAPI.h"
#include "MapUI.h"
#include "Menu.h"
#include "MetadataText.h"
#include "Package.h"
#include "PackedMap.h"
#include "Packages.h"
#include "SafeFile.h"
#include "TestSupport.h"
#include "TileArchive.h"
#include "TileReader.h"
#include "VectorStyle.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::string> listPackages()
{
    Map map;
    Lang lang("none.conf", nullptr);
    MapUI ui(&map, testScreen(), &lang);
    Menu menu;
    menu.create(testScreen(), SDL_Rect{43, 90, 224, 80}, 18, testFonts().text, LineColours());
    ui.packageList(&menu, menu.model.createMenu("Packages", -1, 9));
    std::vector<std::string> captions = ui.packageCaptions;
    std::sort(captions.begin(), captions.end());
    return captions;
}

} // namespace

// A map.conf that is a dangling link with a backup beside it made the
// viewer create the link's target at start-up; a ".new" left as a link was
// written through on the next save.
TEST(HostileFiles, LinksAreNeverFollowedWhenFilesAreRecoveredOrSaved)
{
    TempDir dir;
    mkdir("maps", 0755);
    writeSamplePackage("maps/left/", "Left", false);
    ASSERT_EQ(rename("maps/left/map.conf", "maps/left/map.conf~"), 0);
    writeSamplePackage("maps/linked/", "Linked", false);
    ASSERT_EQ(rename("maps/linked/map.conf", "maps/linked/map.conf~"), 0);
    ASSERT_EQ(symlink("../../outside.conf", "maps/linked/map.conf"), 0);
    mkdir("lang", 0755);
    writeFile("lang/xx.conf~", "__language=Left over\n");

    // Listing (and reading a language) writes nothing; the package an
    // interrupted save left only as a backup is still listed.
    const auto before = treeState();
    EXPECT_EQ(listPackages(), std::vector<std::string>{"Left"});
    Lang lang("xx.conf", nullptr);
    EXPECT_EQ(treeState(), before);

    // Opening recovers what the program itself writes, from regular files
    // only, into a fresh file; a link at the name stays as it is.
    ConfParser candidate("", 1);
    EXPECT_TRUE(MapAPI::open("maps/left/map.conf", &candidate));
    EXPECT_EQ(readFile("maps/left/map.conf"), readFile("maps/left/map.conf~"));
    EXPECT_FALSE(MapAPI::open("maps/linked/map.conf", &candidate));
    EXPECT_FALSE(SafeFile::present("outside.conf"));
    writeFile("victim", "keep");
    ASSERT_EQ(symlink("victim", "r.conf~"), 0);
    EXPECT_TRUE(ConfParser::recovered("r.conf").parameters.empty());
    EXPECT_FALSE(SafeFile::present("r.conf"));

    // A stale ".new" that links elsewhere is removed, not written through.
    ASSERT_EQ(symlink("victim", "s.conf.new"), 0);
    ConfParser settings("s.conf", 1);
    settings.setValue("a", "1");
    EXPECT_TRUE(settings.save());
    EXPECT_EQ(readFile("s.conf"), "a=1\n");
    EXPECT_EQ(readFile("victim"), "keep");
    EXPECT_FALSE(SafeFile::present("s.conf.new"));
}

// A part file or loose tile that is a FIFO blocked the loader thread in
// open() (and quitting then waited forever to join it); a ".new" that is a
// FIFO blocked save().
TEST(HostileFiles, FifosAreNeverWaitedOn)
{
    TempDir dir;
    writeSamplePackage("pkg/", "Packed", true);
    const std::string part = PackedMap::partFileName("pkg/", "sat", 10, 0);
    ASSERT_EQ(std::remove(part.c_str()), 0) << part;
    ASSERT_EQ(mkfifo(part.c_str(), 0644), 0);
    ASSERT_EQ(mkfifo("tile", 0644), 0);
    ASSERT_EQ(mkfifo("t.conf.new", 0644), 0);
    mkdir("maps", 0755);
    ASSERT_EQ(mkfifo("maps/fifo.pmtiles", 0644), 0);
    ASSERT_EQ(mkfifo("maps/fifo.mbtiles", 0644), 0);
    ASSERT_EQ(mkfifo("fifo.style.json", 0644), 0);
    endsWithin(30, "reading FIFOs", [] {
        TileReader reader;
        std::string bytes;
        TileRef packed;
        packed.kind = TileRef::Kind::packed;
        packed.path = "pkg/";
        packed.layer = "sat";
        packed.zoom = 10;
        EXPECT_FALSE(reader.read(packed, &bytes));
        TileRef loose;
        loose.kind = TileRef::Kind::file;
        loose.path = "tile";
        EXPECT_FALSE(reader.read(loose, &bytes));
        EXPECT_FALSE(Files::readBytes("tile", &bytes)); // the toolbox's import of a folder
        EXPECT_EQ(listPackages(), (std::vector<std::string>{"fifo.mbtiles", "fifo.pmtiles"}));
        std::string error;
        EXPECT_FALSE(TileArchive::open("maps/fifo.pmtiles", &error));
        EXPECT_FALSE(TileArchive::open("maps/fifo.mbtiles", &error));
        VectorStyle style;
        EXPECT_FALSE(VectorStyle::load("fifo.style.json", &style, &error));
        ConfParser conf("t.conf", 1);
        conf.setValue("a", "1");
        EXPECT_TRUE(conf.save());
    });
    EXPECT_EQ(readFile("t.conf"), "a=1\n");
}

// A name of 3 MB of '&' (a 3 MB MBTiles) kept the window black for minutes
// while the package list was built: entity decoding searched to the end
// at every '&'.
TEST(HostileFiles, HugeNamesAreCutAndDecodedInLinearTime)
{
    TempDir dir;
    mkdir("maps", 0755);
    writeMBTiles("maps/amp.mbtiles", {{0, 0, 0, tilePng(1, 16)}}, {{"name", std::string(3 << 20, '&')}, {"format", "png"}});
    std::vector<std::string> captions;
    endsWithin(30, "listing a package named by 3 MB of '&'", [&] { captions = listPackages(); });
    ASSERT_EQ(captions.size(), 1u);
    EXPECT_EQ(captions[0], std::string(MetadataText::maxTextBytes, '&'));
    EXPECT_EQ(MetadataText::fromHtml("&amp" + std::string(20, 'x') + ";&amp;&#169;"), "&amp" + std::string(20, 'x') + ";&\xC2\xA9");
    EXPECT_EQ(MetadataText::bounded(std::string(1023, 'a') + "\xC2\xA9").size(), 1023u) << "cut at a character's start";
}

// A layer named "../elsewhere/layer" sent pack's and unpack's part files
// out of the package.
TEST(HostileFiles, LayerNamesMustBeSingleFolderNames)
{
    TempDir dir;
    writeSamplePackage("pkg/", "Escape", false);
    std::string conf = readFile("pkg/map.conf");
    conf.replace(conf.find("type=wab"), 8, "type=../elsewhere/wab");
    writeFile("pkg/map.conf", conf);
    const auto before = treeState();
    std::string error;
    EXPECT_FALSE(Package::convert("pkg", true, "", Package::defaultPartSize, &error));
    EXPECT_NE(error.find("\"../elsewhere/wab\" is not a folder name"), std::string::npos) << error;
    EXPECT_FALSE(Package::convert("pkg", true, "out", Package::defaultPartSize, &error));
    ConfParser candidate("", 1);
    EXPECT_FALSE(MapAPI::open("pkg/map.conf", &candidate));
    EXPECT_EQ(treeState(), before);
}

// 63 MB of nested elements took 16 s and 1.8 GB at start-up; a 30 MB track
// name reached the menus whole.
TEST(HostileFiles, GpxDepthAndNamesAreBounded)
{
    const std::string track = "<gpx><metadata><name>" + std::string(2 << 20, 'n') + "\xC3\xA9</name></metadata>"
                              "<trk><trkseg><trkpt lat=\"50\" lon=\"14\"/></trkseg></trk>";
    std::string deep = track;
    for (int i = 0; i < 200000; ++i)
        deep += "<gpx>";
    GpxData data;
    std::string problem;
    endsWithin(30, "reading a deeply nested GPX", [&] { EXPECT_FALSE(Gpx::parse(deep, &data, &problem)); });
    EXPECT_NE(problem.find("nested deeper than 64"), std::string::npos) << problem;
    EXPECT_EQ(data.points(), 1u) << "what came before is kept";
    EXPECT_EQ(data.name, std::string(Gpx::maxText, 'n'));
    GpxData accented;
    ASSERT_TRUE(Gpx::parse("<gpx><name>" + std::string(Gpx::maxText - 1, 'a') + "\xC3\xA9</name></gpx>", &accented, &problem));
    EXPECT_EQ(accented.name, std::string(Gpx::maxText - 1, 'a')) << "cut at a character's start";
}

// The viewer and the toolbox agree on what is at a name: a package or an
// archive linked from another disk is followed, and a dangling link where
// the toolbox would write is a name already taken, never written through.
TEST(HostileFiles, LinkedPackagesAreFollowedAndALinkAtAnOutputIsTaken)
{
    TempDir dir;
    writeSamplePackage("elsewhere/pkg/", "Linked", false);
    writeMBTiles("elsewhere/a.mbtiles", {{0, 0, 0, tilePng(1)}}, {{"format", "png"}, {"name", "Linked archive"}});
    mkdir("maps", 0755);
    ASSERT_EQ(symlink("../elsewhere/pkg", "maps/pkg"), 0);
    ASSERT_EQ(symlink("../elsewhere/a.mbtiles", "maps/a.mbtiles"), 0);
    EXPECT_EQ(listPackages(), (std::vector<std::string>{"Linked", "Linked archive"}));
    std::ostringstream said;
    std::string error;
    EXPECT_TRUE(Package::info("maps/pkg", said, &error)) << error;

    ASSERT_EQ(symlink("nowhere", "out.pmtiles"), 0);
    Extract::Options options;
    std::uint64_t tiles;
    EXPECT_FALSE(Extract::run("maps/a.mbtiles", "out.pmtiles", options, &tiles, &error));
    EXPECT_NE(error.find("exists already"), std::string::npos) << error;
    EXPECT_FALSE(SafeFile::present("nowhere"));
}
