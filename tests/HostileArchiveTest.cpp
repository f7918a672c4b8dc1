// Archives and tiles made to hurt the readers: each case is the file an
// attack used, made here, and what must happen instead.
#include "Archives.h"
#include "MBTilesArchive.h"
#include "PMTilesArchive.h"
#include "PMTilesDirectory.h"
#include "Package.h"
#include "Packages.h"
#include "TestSupport.h"
#include "TileArchive.h"
#include "TileDecoder.h"
#include "TileSource.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using Entries = std::vector<std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t>>;

void sql(const std::string& path, const char* statements)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statements, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::string refusal(const std::string& path)
{
    std::string error;
    EXPECT_FALSE(TileArchive::open(path, &error)) << path;
    return error;
}

} // namespace

// A root of 40 leaves, each of two leaves holding one tile: browsing all 80
// turns the 64-leaf cache over while an entry of a cached leaf is in use.
TEST(HostileArchive, LeafCacheTurnoverKeepsEveryLookupWhole)
{
    TempDir dir;
    const std::uint64_t base = PMTiles::tileId(4, 0, 0);
    const std::string png = tilePng(1, 16);
    std::string leaves;
    std::vector<std::uint64_t> at, size;
    for (std::uint64_t k = 0; k < 80; ++k) {
        const std::string bottom = pmDirectory({{base + k, 0, png.size(), 1}});
        at.push_back(leaves.size());
        size.push_back(bottom.size());
        leaves += bottom;
    }
    Entries root;
    for (std::uint64_t i = 0; i < 40; ++i) {
        const std::string middle = pmDirectory({{base + 2 * i, at[2 * i], size[2 * i], 0},
                                                {base + 2 * i + 1, at[2 * i + 1], size[2 * i + 1], 0}});
        root.emplace_back(base + 2 * i, leaves.size(), middle.size(), 0);
        leaves += middle;
    }
    PMTilesLayout layout;
    layout.tiles = {{{4, 0, 0}, png}};
    layout.rawRoot = pmDirectory(root);
    layout.rawLeaves = leaves;
    writePMTiles("turnover.pmtiles", layout);
    const auto before = treeState();

    std::string error;
    const auto archive = TileArchive::open("turnover.pmtiles", &error);
    ASSERT_TRUE(archive) << error;
    ASSERT_EQ(archive->info().levels.size(), 1u);
    EXPECT_EQ(archive->info().levels[0].tiles, 80);
    std::string bytes;
    for (int pass = 0; pass < 3; ++pass)
        for (std::uint64_t k = 0; k < 80; ++k) {
            int z;
            std::uint64_t x, y;
            ASSERT_TRUE(PMTiles::tileFromId(base + k, &z, &x, &y));
            bytes.clear();
            ASSERT_TRUE(archive->tile(z, static_cast<long long>(x), static_cast<long long>(y), &bytes)) << k;
            EXPECT_EQ(bytes, png) << k;
        }
    EXPECT_EQ(treeState(), before);
}

// Ids that repeat, go back (the delta wraps), runs past the last id, and
// bytes after the last entry: each could answer a lookup with another tile.
TEST(HostileArchive, DirectoriesThatRepeatWrapOrRunOverAreRefused)
{
    TempDir dir;
    PMTilesLayout layout;
    const std::string png = tilePng(1, 16);
    layout.tiles = {{{0, 0, 0}, png}};
    const std::uint64_t n = png.size();
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"repeat", pmDirectory({{1, 0, n, 1}, {1, 0, n, 1}})},
        {"back", pmDirectory({{5, 0, n, 1}, {3, 0, n, 1}})},
        {"run", pmDirectory({{~0ull - 2, 0, n, 5}})},
        {"over", pmDirectory({{0, 0, n, 1}}) + std::string(1, '\0')},
    };
    for (const auto& c : cases) {
        layout.rawRoot = c.second;
        writePMTiles(std::string(c.first) + ".pmtiles", layout);
        EXPECT_EQ(refusal(std::string(c.first) + ".pmtiles"), "damaged root directory") << c.first;
    }
    layout.rawRoot = pmDirectory({{0, 0, n, 1}});
    writePMTiles("sound.pmtiles", layout);
    std::string error;
    EXPECT_TRUE(TileArchive::open("sound.pmtiles", &error)) << error;
}

// One entry running over all 4^20 tiles of level 20, and a header without
// levels or bounds: opening measures the run as one square, and an import
// of a small box visits only the box's cells and hears an interruption.
TEST(HostileArchive, RunOverAWholeLevelCostsWhatTheBoxHolds)
{
    TempDir dir;
    PMTilesLayout layout;
    const std::string png = tilePng(2);
    layout.tiles = {{{20, 0, 0}, png}};
    layout.rawRoot = pmDirectory({{PMTiles::tileId(20, 0, 0), 0, png.size(), 1ull << 40}});
    layout.west = layout.east = 0; // no bounds: the levels come from the directory
    writePMTiles("level.pmtiles", layout);
    const auto before = treeState();
    std::unique_ptr<TileArchive> archive;
    std::string error;
    endsWithin(30, "opening a run over a whole level", [&] { archive = TileArchive::open("level.pmtiles", &error); });
    ASSERT_TRUE(archive) << error;
    ASSERT_EQ(archive->info().levels.size(), 1u);
    const ArchiveLevel l = archive->info().levels[0];
    EXPECT_EQ(l.z, 20);
    EXPECT_EQ(l.maxX, (1ll << 20) - 1);
    EXPECT_EQ(l.maxY, (1ll << 20) - 1);
    EXPECT_EQ(l.tiles, 1ll << 40);
    EXPECT_EQ(treeState(), before);

    Package::ImportOptions options;
    options.bbox = true;
    options.west = 14.4;
    options.east = 14.4008;
    options.south = 50.08;
    options.north = 50.0805;
    options.zoomMin = 19;
    std::uint64_t cells = 0;
    bool ok = false;
    endsWithin(30, "importing a box of a whole-level run", [&] {
        const std::shared_ptr<TileSource> source = TileSource::open("level.pmtiles", &error);
        ok = source && Package::import({{source, "", false}}, options, "box", &error,
                                       [&](std::uint64_t, std::uint64_t) { ++cells; });
    });
    ASSERT_TRUE(ok) << error;
    EXPECT_GT(cells, 0u);
    EXPECT_LT(cells, 40u) << "only the box's cells";
    int polls = 0;
    options.interrupted = [&] { return ++polls > 2; };
    endsWithin(30, "an interrupted import", [&] {
        const std::shared_ptr<TileSource> source = TileSource::open("level.pmtiles", &error);
        ok = source && Package::import({{source, "", false}}, options, "stopped", &error);
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, "interrupted");
    EXPECT_FALSE(fileExists("stopped"));
    EXPECT_FALSE(fileExists("stopped.partial"));
}

// A GIF frame of 65535 x 65535 in 32 bytes crashed SDL_image, as did one of
// no size, and a code size over 8 kept it busy for minutes; an XPM that
// declares 16000 x 16000 too. Sizes are read from the headers first, and
// formats whose headers are not read never reach SDL_image.
TEST(HostileArchive, TilesAreMeasuredBeforeSdlImageSeesThem)
{
    testScreen();
    const std::string gifHead = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff", 19);
    const std::string gifTail = std::string("\x00\x02\x02\x44\x01\x00\x3b", 7);
    const std::string small = gifHead + std::string("\x2c\x00\x00\x00\x00\x01\x00\x01\x00", 9) + gifTail;
    const std::string huge = gifHead + std::string("\x2c\x00\x00\x00\x00\xff\xff\xff\xff", 9) + gifTail;
    // A frame of no size within a screen of one pixel: SDL_image wrote
    // through a null picture (found by the tile fuzz target).
    const std::string empty = gifHead + std::string("\x2c\x00\x00\x00\x00\x00\x00\x00\x00", 9) + gifTail;
    const std::string xpm = "/* XPM */\nstatic char *x[] = {\"16000 16000 1 1\", \"a c #000000\", \"a\"};\n";
    const std::string bmp = std::string("BM\x00\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00"
                                        "\x00\x00\x01\x00\x00\x00\x01\x00",
                                        26);
    Bitmap out;
    std::string error;
    EXPECT_TRUE(TileDecoder::decode(small, 16, &out, &error)) << error;
    EXPECT_FALSE(TileDecoder::decode(huge, 16, &out, &error));
    EXPECT_NE(error.find("65535x65535 pixels is too large"), std::string::npos) << error;
    EXPECT_FALSE(TileDecoder::decode(empty, 16, &out, &error));
    EXPECT_NE(error.find("GIF frame of no size"), std::string::npos) << error;
    // An LZW code size of 13 kept SDL_image copying for minutes.
    const std::string badCode = gifHead + std::string("\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x0d", 11) + gifTail;
    EXPECT_FALSE(TileDecoder::decode(badCode, 16, &out, &error));
    EXPECT_NE(error.find("GIF with a bad code size"), std::string::npos) << error;
    EXPECT_FALSE(TileDecoder::decode(bmp, 16, &out, &error));
    EXPECT_NE(error.find("65536x65536 pixels is too large"), std::string::npos) << error;
    EXPECT_FALSE(TileDecoder::decode(xpm, 16, &out, &error));
    EXPECT_NE(error.find("not an image format"), std::string::npos) << error;
    EXPECT_FALSE(TileDecoder::decode(huge.substr(0, 20), 16, &out, &error));
    EXPECT_FALSE(error.empty());
}

// A "tiles" view over a product of tables is legitimate MBTiles and kept
// opening busy forever; a level of 3.5 counted as a second level 3.
TEST(HostileArchive, SlowViewsRunOutOfBudgetAndOnlyWholeLevelsCount)
{
    TempDir dir;
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 4; ++y)
            tiles.emplace_back(5, x, y, tilePng(1, 16));
    writeMBTiles("slow.mbtiles", tiles);
    sql("slow.mbtiles", "ALTER TABLE tiles RENAME TO t; CREATE VIEW tiles AS SELECT a.zoom_level AS zoom_level, "
                        "b.tile_column AS tile_column, c.tile_row AS tile_row, d.tile_data AS tile_data "
                        "FROM t a, t b, t c, t d;");
    std::string error;
    EXPECT_FALSE(MBTilesArchive::open("slow.mbtiles", &error, TileArchive::Reading::whole, 2000000));
    EXPECT_EQ(error, "queries take too long (more than 2 million steps for one row: a slow tiles view?)");
    // With levels and bounds in the metadata, those stand for the levels.
    sql("slow.mbtiles", "INSERT INTO metadata VALUES ('minzoom', '4'), ('maxzoom', '5'), "
                        "('bounds', '-180,-85,180,85');");
    const std::string describedBytes = readFile("slow.mbtiles");
    const auto described = MBTilesArchive::open("slow.mbtiles", &error, TileArchive::Reading::whole, 2000000);
    ASSERT_TRUE(described) << error;
    ASSERT_EQ(described->info().levels.size(), 2u);
    EXPECT_EQ(described->info().levels[1].maxX, 31);
    EXPECT_EQ(readFile("slow.mbtiles"), describedBytes) << "read in place, never written";

    writeMBTiles("half.mbtiles", {{3, 1, 1, tilePng(1, 16)}});
    sql("half.mbtiles", "INSERT INTO tiles VALUES (3.5, 1, 1, x'00'), ('30x', 0, 0, x'00');");
    const auto half = TileArchive::open("half.mbtiles", &error);
    ASSERT_TRUE(half) << error;
    ASSERT_EQ(half->info().levels.size(), 1u);
    EXPECT_EQ(half->info().levels[0].z, 3);
    int visits = 0;
    EXPECT_TRUE(half->forEachTile([&](int z, long long, long long, long long, const std::string&) {
        EXPECT_EQ(z, 3);
        return ++visits > 0;
    }, &error));
    EXPECT_EQ(visits, 1);
}
