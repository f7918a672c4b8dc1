// tessel-pack import at scale: sources read in place a level at a time,
// bounded areas, every tile checked, every problem told once.
#include "Archives.h"
#include "ConfParser.h"
#include "Files.h"
#include "Package.h"
#include "Packages.h"
#include "SafeFile.h"
#include "TestSupport.h"
#include "TileDecoder.h"
#include "TileSource.h"
#include "Warnings.h"

#include <gtest/gtest.h>
#include <sstream>
#include <webp/encode.h>

namespace {

struct ImportRun {
    std::vector<std::pair<std::string, std::string>> warnings;
    std::string error;
    bool ok = false;
};

ImportRun import(const std::string& source, const std::string& out, Package::ImportOptions options = {})
{
    ImportRun r;
    const std::shared_ptr<TileSource> s = TileSource::open(source, &r.error);
    if (!s)
        return r;
    options.warn = [&](const std::string& kind, const std::string& text) { r.warnings.emplace_back(kind, text); };
    r.ok = Package::import({{s, "", false}}, options, out, &r.error);
    return r;
}

std::string stored(const std::string& conf, const std::string& key)
{
    ConfParser c(conf, 1);
    std::string value = "(none)";
    c.value(key, &value);
    return value;
}

} // namespace

TEST(PackImport, SparseAndHugeSourcesStayBounded)
{
    TempDir dir;
    // 4 tiles at level 15 and one at level 1: an area holding both would
    // be 16384 x 16384 cells at level 15, so level 1 is left out, said so.
    writeMBTiles("sparse.mbtiles", {{15, 17000, 20000, tilePng(1)}, {15, 17003, 20002, tilePng(2)}, {1, 1, 1, tilePng(3)}},
                 {{"name", "Spot \"A\"\nnext=line"}, {"attribution", "&copy; <b>Sat</b> co"}});
    ImportRun r = import("sparse.mbtiles", "spot");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(stored("spot/map.conf", "zoom_actual"), "2");
    EXPECT_EQ(stored("spot/map.conf", "end_x"), "17004");
    EXPECT_EQ(stored("spot/map.conf", "caption"), "Spot \"A\" next=line");
    EXPECT_EQ(stored("spot/map.conf", "attribution"), "\xC2\xA9 Sat co");
    EXPECT_EQ(stored("spot/map.conf", "next"), "(none)");
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0].second, "level 1: its 1 tiles are left out: with it level 15 would have 16384 x 16384 cells (more than 4194304)");

    // One tile at level 0 and one at level 20: a 1 x 1 area, no 2^40 grid.
    writeMBTiles("far.mbtiles", {{0, 0, 0, tilePng(1)}, {20, 5, 7, tilePng(2)}});
    EXPECT_TRUE(import("far.mbtiles", "far").ok);

    // A run over most of level 12: refused before anything is written.
    PMTilesLayout layout;
    layout.tiles = {{{12, 0, 0}, tilePng(4)}};
    layout.runs = {{{12, 0, 0}, 16000000}};
    writePMTiles("run.pmtiles", layout);
    r = import("run.pmtiles", "run");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("--bbox"), std::string::npos) << r.error;
    EXPECT_FALSE(SafeFile::present("run") || SafeFile::present("run.partial"));

    // With a box the same run is a small package, one copy per cell written.
    Package::ImportOptions box;
    box.packed = true;
    box.bbox = true;
    box.west = -179.9;
    box.east = -179.0;
    box.north = 85.0;
    box.south = 84.9;
    r = import("run.pmtiles", "run", box);
    ASSERT_TRUE(r.ok) << r.error;
    std::ostringstream report;
    EXPECT_TRUE(Package::check("run", report)) << report.str();
}

TEST(PackImport, EveryTileIsCheckedAndEveryProblemToldOnce)
{
    TempDir dir;
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    for (int x = 0; x < 8; ++x)
        tiles.emplace_back(3, x, 7, tilePng(x)); // row 0
    for (int x = 0; x < 7; ++x)
        tiles.emplace_back(3, x, 6, tilePng(x).substr(0, 100)); // row 1: cut short
    tiles.emplace_back(3, 7, 6, tilePng(9, 512));
    std::vector<std::uint8_t> rgba(256 * 256 * 4, 200);
    std::uint8_t* webp = nullptr;
    const std::size_t size = WebPEncodeLosslessRGBA(rgba.data(), 256, 256, 1024, &webp);
    tiles.emplace_back(3, 0, 5, std::string(reinterpret_cast<char*>(webp), size));
    WebPFree(webp);
    writeMBTiles("mixed.mbtiles", tiles);
    std::ostringstream said;
    Warnings warnings(said, 5);
    Package::ImportOptions options;
    std::string error;
    const std::shared_ptr<TileSource> source = TileSource::open("mixed.mbtiles", &error);
    options.warn = [&](const std::string& kind, const std::string& text) { warnings.add(kind, text); };
    ASSERT_TRUE(Package::import({{source, "", false}}, options, "mixed", &error)) << error;
    warnings.summary();
    EXPECT_EQ(warnings.count("undecodable tiles"), 7);
    EXPECT_NE(said.str().find("tile 3/0/1: "), std::string::npos) << said.str();
    EXPECT_NE(said.str().find("... and 2 more: undecodable tiles"), std::string::npos) << said.str();
    EXPECT_NE(said.str().find("tile 3/7/1: 512x512 tile scaled to 256x256"), std::string::npos) << said.str();
    std::string scaled, kept;
    Files::readBytes("mixed/wab/v=wab&x=7&y=1&zoom=14", &scaled);
    Bitmap b;
    ASSERT_TRUE(TileDecoder::decode(scaled, 256, &b, nullptr));
    EXPECT_EQ(b.sourceWidth, 256);
    Files::readBytes("mixed/wab/v=wab&x=0&y=2&zoom=14", &kept);
    EXPECT_EQ(kept.compare(0, 4, "RIFF"), 0) << "WebP tiles are kept as they are";
    std::ostringstream report;
    EXPECT_TRUE(Package::check("mixed", report)) << "check decodes as the viewer does:\n" << report.str();
    EXPECT_FALSE(SafeFile::present("mixed/wab/v=wab&x=0&y=1&zoom=14"));

    options.toPng = true;
    ASSERT_TRUE(Package::import({{source, "", false}}, options, "png", &error)) << error;
    Files::readBytes("png/wab/v=wab&x=0&y=2&zoom=14", &kept);
    EXPECT_EQ(kept.compare(1, 3, "PNG"), 0) << "--to-png";
}

TEST(PackImport, CheckSaysWhichListedLevelsCannotBeShown)
{
    TempDir dir;
    writeSamplePackage("pkg/", "Sample", false);
    // One column at an even x: one level out it comes to nothing.
    ConfParser conf("pkg/map.conf", 1);
    conf.changeValue("begin_x", 2, 0);
    conf.changeValue("end_x", 3, 0);
    ASSERT_TRUE(conf.save());
    std::ostringstream report;
    EXPECT_FALSE(Package::check("pkg", report));
    EXPECT_NE(report.str().find("1 of the levels listed cannot be shown"), std::string::npos) << report.str();

    Files::makeDir("pkg.converting");
    std::vector<std::string> notes;
    std::string error;
    ASSERT_TRUE(Package::convert("pkg", true, "", 1u << 20, &error, nullptr,
                                 [&](const std::string& text) { notes.push_back(text); }))
        << error;
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], "removed pkg.converting, left by an interrupted run");
}

TEST(PackImport, RefusalsAndInterruptionsLeaveNothing)
{
    TempDir dir;
    writeMBTiles("empty.mbtiles", {});
    EXPECT_EQ(import("empty.mbtiles", "out").error, "no raster tiles in empty.mbtiles");
    writeMBTiles("vector.mbtiles", {{0, 0, 0, "\x1f\x8b"}}, {{"format", "pbf"}});
    EXPECT_EQ(import("vector.mbtiles", "out").error, "vector.mbtiles: vector tiles are drawn into a package with tessel-pack render");
    PMTilesLayout old;
    old.tiles = {{{0, 0, 0}, tilePng(0)}};
    old.version = 2;
    writePMTiles("old.pmtiles", old);
    EXPECT_NE(import("old.pmtiles", "out").error.find("version 2"), std::string::npos);

    writeMBTiles("good.mbtiles", {{1, 0, 0, tilePng(0)}, {1, 1, 1, tilePng(1)}});
    Files::makeDir("out.partial");
    Files::writeBytes("out.partial/junk", "left by a crash");
    Package::ImportOptions stop;
    int polls = 0;
    stop.interrupted = [&] { return ++polls > 1; };
    ImportRun r = import("good.mbtiles", "out", stop);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "interrupted");
    ASSERT_FALSE(r.warnings.empty());
    EXPECT_EQ(r.warnings[0].second, "removed out.partial, left by an interrupted import");
    EXPECT_FALSE(SafeFile::present("out") || SafeFile::present("out.partial"));
}
