// MBTiles and PMTiles read in place: the readers on made-up archives and
// the real ones beside the project, and packages that are archives.
#include "ArchiveAPI.h"
#include "Archives.h"
#include "Map.h"
#include "Mercator.h"
#include "MapUI.h"
#include "Menu.h"
#include "Lang.h"
#include "MetadataText.h"
#include "Packages.h"
#include "TestSupport.h"
#include "PMTilesArchive.h"
#include "TileArchive.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::unique_ptr<TileArchive> openArchive(const std::string& path, std::string* error = nullptr)
{
    std::string ignored;
    return TileArchive::open(path, error ? error : &ignored);
}

void expectLevel(const ArchiveLevel& l, int z, long long minX, long long minY, long long maxX, long long maxY,
                 long long tiles)
{
    EXPECT_EQ(l.z, z);
    EXPECT_EQ(l.minX, minX) << "z" << z;
    EXPECT_EQ(l.minY, minY) << "z" << z;
    EXPECT_EQ(l.maxX, maxX) << "z" << z;
    EXPECT_EQ(l.maxY, maxY) << "z" << z;
    EXPECT_EQ(l.tiles, tiles) << "z" << z;
}

// Sparse levels 1 and 5 (x 17..23, y 5..11); rows in TMS order (from the
// south).
void writeSparseMBTiles(const std::string& path, const std::vector<std::pair<std::string, std::string>>& metadata)
{
    writeMBTiles(path, {{1, 0, 1, tilePng(1)}, {1, 0, 0, tilePng(2)}, {5, 17, 20, tilePng(3)}, {5, 23, 26, tilePng(4)}}, metadata);
}

} // namespace

TEST(MetadataText, HtmlAndJson)
{
    EXPECT_EQ(MetadataText::fromHtml("&copy; <a href=\"https://osm.org/copyright\">OpenStreetMap</a>\n  &amp; "
                                     "friends&#33; &#x2014; &bogus; <b>x"),
              "\xC2\xA9 OpenStreetMap & friends! \xE2\x80\x94 &bogus; x");
    std::string v;
    const std::string json = "{\"vector_layers\":[{\"id\":\"a\",\"n\":[1,2]}],\"zoom\":12,\"name\":\"Caf\\u00e9 \\\"x\\\"\","
                             "\"attribution\":\"\\ud83d\\uddfa map\"}";
    ASSERT_TRUE(MetadataText::jsonString(json, "name", &v));
    EXPECT_EQ(v, "Caf\xC3\xA9 \"x\"");
    ASSERT_TRUE(MetadataText::jsonString(json, "attribution", &v));
    EXPECT_EQ(v, "\xF0\x9F\x97\xBA map");
    EXPECT_FALSE(MetadataText::jsonString(json, "zoom", &v));
    EXPECT_FALSE(MetadataText::jsonString("{\"name\":\"cut", "name", &v));
    EXPECT_FALSE(MetadataText::jsonString("[1]", "name", &v));
}

TEST(TileArchive, MBTilesFlipsRowsAndReadsItsMetadata)
{
    TempDir dir;
    writeSparseMBTiles("a.MBTiles", {{"name", "Sparse"},
                                     {"attribution", "&copy; <a href='x'>OSM</a>"},
                                     {"center", "10.5, 20.25, 4"},
                                     {"bounds", "-10,-20,30,40"},
                                     {"format", "png"}});
    EXPECT_TRUE(TileArchive::hasArchiveName("a.MBTiles"));
    const auto a = openArchive("a.MBTiles");
    ASSERT_TRUE(a);
    const ArchiveInfo& info = a->info();
    EXPECT_EQ(info.name, "Sparse");
    EXPECT_EQ(info.format, "PNG");
    EXPECT_TRUE(info.hasCentre);
    EXPECT_DOUBLE_EQ(info.centreLon, 10.5);
    EXPECT_DOUBLE_EQ(info.centreLat, 20.25);
    EXPECT_EQ(info.centreZoom, 4);
    EXPECT_TRUE(info.hasBounds);
    EXPECT_DOUBLE_EQ(info.north, 40);
    ASSERT_EQ(info.levels.size(), 2u);
    expectLevel(info.levels[0], 1, 0, 0, 0, 1, 2);
    expectLevel(info.levels[1], 5, 17, 5, 23, 11, 2);
    std::string bytes;
    ASSERT_TRUE(a->tile(1, 0, 0, &bytes));
    EXPECT_EQ(bytes, tilePng(1)) << "TMS row 1 of level 1 is the northern one";
    ASSERT_TRUE(a->tile(1, 0, 1, &bytes));
    EXPECT_EQ(bytes, tilePng(2));
    EXPECT_FALSE(a->tile(1, 1, 0, &bytes));
    EXPECT_FALSE(a->tile(31, 0, 0, &bytes));
    EXPECT_FALSE(a->tile(1, -1, 0, &bytes));

    // Read for tiles only: the name and the lookups, no scan of the levels.
    std::string error;
    const auto quick = TileArchive::open("a.MBTiles", &error, TileArchive::Reading::tilesOnly);
    ASSERT_TRUE(quick) << error;
    EXPECT_EQ(quick->info().name, "Sparse");
    EXPECT_TRUE(quick->info().levels.empty());
    ASSERT_TRUE(quick->tile(5, 23, 5, &bytes));
    EXPECT_EQ(bytes, tilePng(4));
}

TEST(TileArchive, PMTilesLooksUpTilesRunsAndLeaves)
{
    TempDir dir;
    PMTilesLayout layout;
    layout.tiles = {{{0, 0, 0}, tilePng(0)}, {{1, 0, 0}, tilePng(1)}, {{1, 1, 1}, tilePng(2)}, {{2, 0, 0}, tilePng(3)}};
    layout.runs = {{{2, 0, 0}, 3}}; // (0,0), (1,0) and (1,1) in Hilbert order
    layout.gzipDirectories = true;
    layout.leafSize = 2;
    layout.metadata = "{\"name\":\"Pm \\\"world\\\"\",\"attribution\":\"<b>Tiles</b> &amp; data\"}";
    writePMTiles("w.pmtiles", layout);
    const auto a = openArchive("w.pmtiles");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->info().name, "Pm \"world\"");
    EXPECT_EQ(MetadataText::fromHtml(a->info().attribution), "Tiles & data");
    ASSERT_EQ(a->info().levels.size(), 3u);
    expectLevel(a->info().levels[2], 2, 0, 0, 1, 1, 3);
    std::string bytes;
    for (const auto& cell : std::vector<std::tuple<int, int, int, int>>{
             {0, 0, 0, 0}, {1, 0, 0, 1}, {1, 1, 1, 2}, {2, 0, 0, 3}, {2, 1, 0, 3}, {2, 1, 1, 3}}) {
        ASSERT_TRUE(a->tile(std::get<0>(cell), std::get<1>(cell), std::get<2>(cell), &bytes));
        EXPECT_EQ(bytes, tilePng(std::get<3>(cell)));
    }
    EXPECT_FALSE(a->tile(1, 1, 0, &bytes));
    EXPECT_FALSE(a->tile(2, 0, 1, &bytes)) << "past the run";
    std::vector<std::pair<long long, long long>> cells;
    std::string why;
    ASSERT_TRUE(a->forEachTileAt(2, 1, 0, 3, 3, [&](long long x, long long y, const std::string& b) {
        EXPECT_EQ(b, tilePng(3));
        cells.emplace_back(x, y);
        return true;
    }, &why));
    EXPECT_EQ(cells, (std::vector<std::pair<long long, long long>>{{1, 0}, {1, 1}})) << "the run's cells in the box";
    // An archive too large to walk when opened: levels and extents from the
    // header (here the box of level 1's north-west tile).
    layout.declaredEntries = 5000000;
    layout.west = -170;
    layout.east = -10;
    layout.south = 10;
    layout.north = 80;
    writePMTiles("big.pmtiles", layout);
    const auto big = openArchive("big.pmtiles");
    ASSERT_TRUE(big);
    ASSERT_EQ(big->info().levels.size(), 3u);
    expectLevel(big->info().levels[1], 1, 0, 0, 0, 0, 0);
    ASSERT_TRUE(big->tile(2, 1, 1, &bytes));
    EXPECT_EQ(bytes, tilePng(3));

    long long visited = 0;
    std::string error;
    ASSERT_TRUE(a->forEachTile([&](int, long long, long long, long long run, const std::string&) {
        visited += run;
        return true;
    }, &error));
    EXPECT_EQ(visited, 6);
}

TEST(TileArchive, BadArchivesAreRefusedWithTheirReason)
{
    TempDir dir;
    const auto refusal = [](const std::string& path) {
        std::string error;
        EXPECT_FALSE(openArchive(path, &error)) << path;
        return error;
    };
    writeSparseMBTiles("cut.mbtiles", {{"format", "png"}});
    std::string whole = readFile("cut.mbtiles");
    writeFile("cut.mbtiles", whole.substr(0, whole.size() / 2));
    EXPECT_NE(refusal("cut.mbtiles"), "");
    writeFile("text.mbtiles", "just words\n");
    EXPECT_EQ(refusal("text.mbtiles"), "not an MBTiles file: not SQLite");
    writeFile("text.pmtiles", "just words\n");
    EXPECT_EQ(refusal("text.pmtiles"), "not a PMTiles file");
    // Versions 1 and 2 had a header of their own.
    for (const char version : {'\x01', '\x02'}) {
        writeFile("old.pmtiles", std::string("PM") + version + '\0' + std::string(100, '\0'));
        EXPECT_EQ(refusal("old.pmtiles"), "PMTiles version " + std::to_string(int(version)) +
                                              " is not supported; convert it to version 3");
    }
    writeMBTiles("mlt.mbtiles", {{0, 0, 0, "\x1f\x8b\x08 not really"}}, {{"format", "mlt"}});
    EXPECT_NE(refusal("mlt.mbtiles").find("MapLibre tiles (mlt)"), std::string::npos);
    writeMBTiles("empty.mbtiles", {}, {});
    EXPECT_EQ(refusal("empty.mbtiles"), "no tiles");
    writeMBTiles("notables.mbtiles", {}, {});
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open("notables.mbtiles", &db), SQLITE_OK);
    sqlite3_exec(db, "DROP TABLE tiles;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_NE(refusal("notables.mbtiles").find("not an MBTiles file (no such table: tiles)"), std::string::npos);
    PMTilesLayout layout;
    layout.tiles = {{{0, 0, 0}, tilePng(0)}};
    layout.tileType = 6;
    writePMTiles("mlt.pmtiles", layout);
    EXPECT_NE(refusal("mlt.pmtiles").find("MapLibre tiles (mlt)"), std::string::npos);
    writeFile("short.pmtiles", "PMTiles\x03");
    EXPECT_NE(refusal("short.pmtiles").find("cut short"), std::string::npos);
    // Cut anywhere past the header: refused, never an empty map.
    layout.tileType = 2;
    layout.tiles = {{{0, 0, 0}, tilePng(0)}, {{1, 1, 1}, tilePng(1)}};
    writePMTiles("whole.pmtiles", layout);
    const std::string pm = readFile("whole.pmtiles");
    for (std::size_t cut : {std::size_t(200), pm.size() - 1}) {
        writeFile("cut.pmtiles", pm.substr(0, cut));
        EXPECT_NE(refusal("cut.pmtiles").find("outside the archive (is the file cut short?)"), std::string::npos) << cut;
    }

    // A leaf that names itself as its own leaf, and leaves shared a
    // hundred times over at every depth: both stop at a limit.
    layout.tileType = 2;
    layout.gzipDirectories = false;
    const std::string self = pmDirectory({{0, 0, 0, 0}});
    layout.rawRoot = pmDirectory({{0, 0, self.size(), 0}});
    layout.rawLeaves = pmDirectory({{0, 0, self.size(), 0}});
    writePMTiles("loop.pmtiles", layout);
    EXPECT_NE(refusal("loop.pmtiles").find("nested deeper than 3"), std::string::npos);
    std::vector<std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t>> fan;
    std::vector<std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t>> tilesOf;
    for (std::uint64_t i = 0; i < 100; ++i)
        tilesOf.emplace_back(i, 0, 10, 1);
    const std::string bottom = pmDirectory(tilesOf);
    std::string leaves = bottom;
    std::uint64_t below = 0, belowSize = bottom.size();
    for (int depth = 0; depth < 3; ++depth) {
        fan.clear();
        for (std::uint64_t i = 0; i < 100; ++i)
            fan.emplace_back(i, below, belowSize, 0);
        const std::string level = pmDirectory(fan);
        below = leaves.size();
        belowSize = level.size();
        leaves += level;
    }
    layout.rawRoot = pmDirectory(fan);
    layout.rawLeaves = leaves;
    writePMTiles("fan.pmtiles", layout);
    // Opening stops early (its extents come from the header then); a walk
    // over every tile stops at the limit.
    const auto fanned = openArchive("fan.pmtiles");
    ASSERT_TRUE(fanned);
    dynamic_cast<PMTilesArchive&>(*fanned).entryLimit = 50000;
    std::string why;
    EXPECT_FALSE(fanned->forEachTile([](int, long long, long long, long long, const std::string&) { return true; }, &why));
    EXPECT_NE(why.find("more than 50000 entries"), std::string::npos) << why;
}

TEST(TileArchive, RealArchivesBesideTheProject)
{
    if (access(sharedFixture("README.md").c_str(), F_OK) != 0)
        GTEST_SKIP() << "no fixtures beside the project";
    const struct {
        const char* file;
        std::size_t levels;
        int firstZ;
    } cases[] = {{"plain_1.mbtiles", 5, 0}, {"one_tile.mbtiles", 2, 0}, {"some-empty-tiles.mbtiles", 2, 1},
                 {"stamen_toner_z3.pmtiles", 4, 0}};
    for (const auto& c : cases) {
        std::string error;
        const auto a = openArchive(sharedFixture(c.file), &error);
        ASSERT_TRUE(a) << c.file << ": " << error;
        ASSERT_EQ(a->info().levels.size(), c.levels) << c.file;
        const ArchiveLevel& l = a->info().levels.front();
        EXPECT_EQ(l.z, c.firstZ) << c.file;
        // The first tile a walk of the level meets is found again by lookup.
        long long x = -1, y = -1;
        std::string walked, looked;
        ASSERT_TRUE(a->forEachTileAt(l.z, l.minX, l.minY, l.maxX, l.maxY, [&](long long tx, long long ty, const std::string& b) {
            x = tx;
            y = ty;
            walked = b;
            return false;
        }, &error));
        ASSERT_GE(x, 0) << c.file;
        ASSERT_TRUE(a->tile(l.z, x, y, &looked)) << c.file;
        EXPECT_EQ(looked, walked) << c.file;
    }
    // Their first 5000 bytes (an interrupted copy) are refused with the reason.
    TempDir dir;
    for (const char* file : {"stamen_toner_z3.pmtiles", "vector/montevideo.pmtiles"}) {
        writeFile("cut.pmtiles", readFile(sharedFixture(file)).substr(0, 5000));
        std::string error;
        EXPECT_FALSE(openArchive("cut.pmtiles", &error)) << file;
        EXPECT_NE(error.find("cut short"), std::string::npos) << file << ": " << error;
    }
}

class ArchivePackage : public ::testing::Test {
protected:
    void SetUp() override
    {
        mkdir("maps", 0755);
        writeMissingTileImage("media/na.png");
    }

    // The world position (level, world pixel) of the screen centre.
    void centre(int* z, double* x, double* y, const Map* of = nullptr)
    {
        const Map& m = of ? *of : map;
        ASSERT_TRUE(m.mercatorLevel(z));
        m.worldPixel(160, 120, x, y);
    }

    TempDir dir;
    Map map;
};

TEST_F(ArchivePackage, OpensAtItsCentreSavesBesideAndNeverWrites)
{
    writeSparseMBTiles("maps/sparse.mbtiles", {{"name", "Sparse"},
                                               {"attribution", "&copy; <i>Data</i> &amp; co"},
                                               {"center", "50.625,64.16810689799152,4"},
                                               {"format", "png"}});
    writeFile("maps/sparse.mbtiles.conf~", "stale backup");
    const std::string before = readFile("maps/sparse.mbtiles");

    Lang lang("none.conf", nullptr);
    MapUI ui(&map, testScreen(), &lang);
    Menu menu;
    menu.create(testScreen(), SDL_Rect{43, 90, 224, 80}, 18, testFonts().text, LineColours());
    const int page = menu.model.createMenu("Packages", -1, 9);
    ASSERT_TRUE(ui.packageList(&menu, page));
    EXPECT_EQ(ui.packageCaptions, std::vector<std::string>{"Sparse"}) << "the position files are not packages";
    ASSERT_TRUE(ui.loadPackage(0));

    // Level 5 is the nearest present one to the centre's level 4; the
    // centre is tile (20.5, 8.5) of level 5.
    int z;
    double x, y;
    centre(&z, &x, &y);
    EXPECT_EQ(z, 5);
    EXPECT_NEAR(x, 20.5 * 256, 1);
    EXPECT_NEAR(y, 8.5 * 256, 1);
    EXPECT_EQ(map.api->copyright, "\xC2\xA9 Data & co");
    EXPECT_EQ(map.bgTypes, std::vector<std::string>{ArchiveAPI::layerName});
    EXPECT_TRUE(map.overlayTypes.empty());

    // Zooming out keeps the world position; the coarse level's area is its own.
    ASSERT_TRUE(map.zoomOut());
    centre(&z, &x, &y);
    EXPECT_EQ(z, 1);
    EXPECT_FALSE(map.zoomOut()) << "no coarser level";
    ASSERT_TRUE(map.zoomIn());
    map.move(40, 0);
    centre(&z, &x, &y);
    ASSERT_TRUE(map.saveLastPosition());
    ConfParser saved("maps/sparse.mbtiles.conf", 1);
    std::string level;
    ASSERT_TRUE(saved.value("zoom_actual", &level));
    EXPECT_EQ(level, "5");

    Map again;
    ASSERT_TRUE(again.create(testScreen(), "maps/sparse.mbtiles"));
    int z2;
    double x2, y2;
    centre(&z2, &x2, &y2, &again);
    EXPECT_EQ(z2, z);
    EXPECT_EQ(x2, x);
    EXPECT_EQ(y2, y);
    map.destroy();
    again.destroy();
    EXPECT_EQ(readFile("maps/sparse.mbtiles"), before) << "the archive is never written";
}

TEST_F(ArchivePackage, WithoutACentreOrWithOneOutsideTheData)
{
    // No centre, no bounds: the middle of the coarsest level's tiles
    // (x 1..5, y 2..6 of level 3).
    PMTilesLayout layout;
    layout.tiles = {{{3, 1, 2}, tilePng(1)}, {{3, 5, 6}, tilePng(2)}, {{4, 5, 10}, tilePng(3)}};
    layout.west = layout.south = layout.east = layout.north = 0;
    writePMTiles("maps/plain.pmtiles", layout);
    ASSERT_TRUE(map.create(testScreen(), "maps/plain.pmtiles"));
    int z;
    double x, y;
    centre(&z, &x, &y);
    EXPECT_EQ(z, 3);
    EXPECT_NEAR(x, 3.5 * 256, 1);
    EXPECT_NEAR(y, 4.5 * 256, 1);

    // A centre far outside the tiles: the view's centre stays in the area.
    writeSparseMBTiles("maps/away.mbtiles", {{"center", "120,-60,5"}, {"format", "png"}});
    ASSERT_TRUE(map.create(testScreen(), "maps/away.mbtiles"));
    centre(&z, &x, &y);
    EXPECT_EQ(z, 5);
    EXPECT_EQ(x, 24 * 256 - 1) << "at the area's east edge";
    EXPECT_EQ(y, 12 * 256 - 1) << "at its south edge";
}

// Levels of a few tiles, smaller than the screen or little larger: the
// view's centre stays where it was put, opened, zoomed or centred on a point.
TEST_F(ArchivePackage, SmallLevelsKeepTheirCentre)
{
    const struct Extent {
        int w, h, z;
        double lon, lat;
    } table[] = {{1, 1, 10, 2.3522, 48.8566}, {2, 1, 10, 2.3522, 48.8566}, {2, 2, 10, 2.3522, 48.8566},
                 {3, 3, 10, 2.3522, 48.8566}, {1, 1, 0, 0, 0}};
    for (const Extent& e : table) {
        // Within a pixel and a half of the level opened (whose whole pixels
        // the finer one doubles).
        const auto expectCentre = [this, &e](double lon, double lat, int level, const std::string& what) {
            int z;
            double x, y, atLon, atLat;
            centre(&z, &x, &y);
            Mercator::toLonLat(x, y, z, &atLon, &atLat);
            const double pixel = 360.0 / (256.0 * (1 << e.z)) * 1.5;
            EXPECT_EQ(z, level) << what;
            EXPECT_NEAR(atLon, lon, pixel) << what;
            EXPECT_NEAR(atLat, lat, pixel) << what;
        };
        double px, py;
        Mercator::toPixel(e.lon, e.lat, e.z, &px, &py);
        const int x0 = static_cast<int>(px / 256) - (e.w - 1) / 2, y0 = static_cast<int>(py / 256) - (e.h - 1) / 2;
        std::vector<std::tuple<int, int, int, std::string>> tiles;
        for (int k = 0; k < 2; ++k)
            for (int x = x0 << k; x < (x0 + e.w) << k; ++x)
                for (int y = y0 << k; y < (y0 + e.h) << k; ++y)
                    tiles.emplace_back(e.z + k, x, ((1 << (e.z + k)) - 1) - y, tilePng(x + y));
        const std::string name = std::to_string(e.w) + "x" + std::to_string(e.h) + "z" + std::to_string(e.z);
        const std::string path = "maps/" + name + ".mbtiles";
        writeMBTiles(path, tiles,
                     {{"center", std::to_string(e.lon) + "," + std::to_string(e.lat) + "," + std::to_string(e.z)},
                      {"format", "png"}});
        ASSERT_TRUE(map.create(testScreen(), path)) << name;
        expectCentre(e.lon, e.lat, e.z, name + " opened");
        ASSERT_TRUE(map.zoomIn()) << name;
        expectCentre(e.lon, e.lat, e.z + 1, name + " zoomed in");
        ASSERT_TRUE(map.zoomOut()) << name;
        expectCentre(e.lon, e.lat, e.z, name + " zoomed out");
        double cornerLon, cornerLat;
        Mercator::toLonLat(x0 * 256.0 + 10, y0 * 256.0 + 10, e.z, &cornerLon, &cornerLat);
        ASSERT_TRUE(map.centreOn(cornerLon, cornerLat)) << name;
        expectCentre(cornerLon, cornerLat, e.z, name + " centred near its corner");
    }
}

TEST_F(ArchivePackage, ARefusedArchiveLeavesTheOpenPackageAndSaysWhy)
{
    writeSparseMBTiles("maps/good.mbtiles", {{"format", "png"}});
    writeMBTiles("maps/strange.mbtiles", {{0, 0, 0, "BM strange"}}, {{"format", "bmp"}});
    ASSERT_TRUE(map.create(testScreen(), "maps/good.mbtiles"));
    std::string why;
    EXPECT_FALSE(map.create(testScreen(), "maps/strange.mbtiles", &why));
    EXPECT_EQ(why, "tiles of an unknown format (bmp) cannot be shown");
    EXPECT_TRUE(map.loaded());
    int z;
    EXPECT_TRUE(map.mercatorLevel(&z));
}

// A city archive whose centre names a far coarser level (as tilemaker
// writes) opens where its bounds fill the screen, not on a speck.
TEST_F(ArchivePackage, OpensWhereItsBoundsFillTheScreen)
{
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    for (int z = 7; z <= 14; ++z) {
        double x, y;
        Mercator::toPixel(7.42, 43.73, z, &x, &y);
        tiles.emplace_back(z, static_cast<int>(x / 256), (1 << z) - 1 - static_cast<int>(y / 256), tilePng(z));
    }
    writeMBTiles("maps/city.mbtiles", tiles,
                 {{"name", "City"}, {"format", "png"}, {"bounds", "7.40,43.72,7.44,43.745"}, {"center", "7.42,43.73,7"}});
    ASSERT_TRUE(map.create(testScreen(), "maps/city.mbtiles"));
    int z;
    double x, y;
    centre(&z, &x, &y);
    EXPECT_EQ(z, 13) << "233 x 201 px there; 466 x 402 one level deeper";
    SDL_Surface* wide = SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 16, 0xf800, 0x07e0, 0x001f, 0);
    {
        Map large;
        ASSERT_TRUE(large.create(wide, "maps/city.mbtiles"));
        EXPECT_EQ(large.api->zoomValue(), 14) << "a larger view is filled one level deeper";
    }
    SDL_FreeSurface(wide);
}
