#include "ArchiveAPI.h"
#include "Archives.h"
#include "CellComposer.h"
#include "ConfParser.h"
#include "Gzip.h"
#include "Map.h"
#include "MetadataText.h"
#include "MvtReader.h"
#include "MvtTiles.h"
#include "Package.h"
#include "RenderedSource.h"
#include "StyleChooser.h"
#include "TestSupport.h"
#include "TileArchive.h"
#include "VectorPainter.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const char* const omtLayers =
    R"({"vector_layers":[{"id":"water"},{"id":"transportation"},{"id":"place"},{"id":"landcover"}]})";

// Level 1 of the world: four tiles of water, their buffers overlapping.
void writeWaterWorld(const std::string& path)
{
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y)
            tiles.emplace_back(1, x, y, Mvt::encode({{"water", 4096, {Mvt::polygon({Mvt::square(-64, -64, 4160, 4160)})}}}));
    writeMBTiles(path, tiles, {{"name", "Water world"}, {"format", "pbf"}, {"attribution", "&copy; Makers"},
                               {"json", omtLayers}});
}

unsigned colours(const Bitmap& b)
{
    return static_cast<unsigned>(std::set<std::uint16_t>(b.rgb.begin(), b.rgb.end()).size());
}

std::string monacoMBTiles(std::string* why)
{
    return Mvt::monacoMBTiles(sharedFixture("monaco.osm.pbf"), TESSEL_BUILD_DIR, why);
}

class VectorArchive : public ::testing::Test {
protected:
    void SetUp() override
    {
        mkdir("maps", 0755);
        mkdir("media", 0755);
        ASSERT_EQ(0, symlink((std::string(TESSEL_SOURCE_DIR) + "/media/styles").c_str(), "media/styles"));
    }

    // The picture in the grid's cell under the screen centre.
    const Bitmap& centrePicture()
    {
        const ViewCentre c = map.centre();
        for (const Tile& t : map.tiles)
            if (t.x == c.tileX && t.y == c.tileY && t.image)
                return *t.image->bitmap;
        ADD_FAILURE() << "no cell at the centre";
        static Bitmap none;
        return none;
    }

    TempDir dir;
    Map map;
};

} // namespace

TEST_F(VectorArchive, OpensDrawsFourLevelsPastItsDataAndKeepsTheDarkChoice)
{
    writeWaterWorld("maps/water.mbtiles");
    ASSERT_TRUE(map.create(testScreen(), "maps/water.mbtiles"));
    EXPECT_EQ(std::vector<std::string>({"type_vector_light", "type_vector_dark"}), map.aliasedBgList());
    EXPECT_EQ(std::vector<int>({1, 2, 3, 4, 5}), map.api->zoomLevels);
    const std::uint16_t water = centrePicture().rgb[0];
    EXPECT_EQ(Pixels::pack565(0xaa, 0xd3, 0xdf), water);
    int steps = 0;
    while (map.zoomIn())
        ++steps;
    EXPECT_EQ(4, steps);
    for (const Tile& t : map.tiles)
        EXPECT_FALSE(t.image && t.image->substitute) << "drawn from the deepest tile, not a stand-in";
    EXPECT_EQ(water, centrePicture().rgb[0]);

    // A choice that cannot be written says so (a directory blocks the backup).
    ASSERT_TRUE(map.saveLastPosition());
    ASSERT_EQ(mkdir("maps/water.mbtiles.conf~", 0755), 0);
    writeFile("maps/water.mbtiles.conf~/keep", "x");
    bool kept = true;
    ASSERT_TRUE(map.setBg(1, &kept));
    EXPECT_FALSE(kept);
    ASSERT_EQ(0, unlink("maps/water.mbtiles.conf~/keep"));
    ASSERT_EQ(0, rmdir("maps/water.mbtiles.conf~"));
    ASSERT_TRUE(map.setBg(1, &kept));
    EXPECT_TRUE(kept);
    const std::uint16_t dark = centrePicture().rgb[0];
    unsigned r, g, b;
    Pixels::unpack565(dark, &r, &g, &b);
    EXPECT_LT(r + g + b, 300u);
    EXPECT_GT(b, r) << "water stays blue";
    {
        Map again; // the choice is kept at once, before any position is saved
        ASSERT_TRUE(again.create(testScreen(), "maps/water.mbtiles"));
        EXPECT_EQ(ArchiveAPI::darkName, again.api->bg.name);
        EXPECT_EQ("© Makers", again.api->copyright);
    }
    ASSERT_TRUE(map.setBg(0));
    ASSERT_TRUE(map.saveLastPosition());
    Map light;
    ASSERT_TRUE(light.create(testScreen(), "maps/water.mbtiles"));
    EXPECT_EQ(ArchiveAPI::lightName, light.api->bg.name);
}

// The loader thread decodes, draws and labels (fonts, glyph cache) while
// the main thread pans; under ThreadSanitizer this checks the hand-over.
TEST_F(VectorArchive, TheLoaderThreadDrawsLabelledTilesWhileTheMapPans)
{
    MvtFeature city;
    city.type = 1;
    city.geometry = Mvt::points({{2048, 2048}});
    city.text = {{"class", "city"}, {"name", "Alphaville"}};
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y)
            tiles.emplace_back(1, x, y, Mvt::encode({{"water", 4096, {Mvt::polygon({Mvt::square(-64, -64, 4160, 4160)})}},
                                                     {"place", 4096, {city}}}));
    writeMBTiles("maps/cities.mbtiles", tiles, {{"format", "pbf"}, {"json", omtLayers}});
    map.pipeline.setMode(TilePipeline::Mode::background);
    ASSERT_TRUE(map.create(testScreen(), "maps/cities.mbtiles"));
    map.move(120, 80);
    endsWithin(120, "the loader drawing vector tiles", [&] {
        map.update();
        while (!map.pipeline.loader->idle() || std::any_of(map.tiles.begin(), map.tiles.end(), [](const Tile& t) {
                   return t.image && t.image->substitute;
               })) {
            std::this_thread::yield();
            map.update();
        }
    });
    unsigned most = 0;
    for (const Tile& t : map.tiles)
        most = std::max(most, t.image ? colours(*t.image->bitmap) : 0);
    EXPECT_GT(most, 2u) << "water and a label's text and halo";
}

TEST_F(VectorArchive, AStyleBesideTheArchiveOverridesAndBrokenTilesStandIn)
{
    writeWaterWorld("maps/water.mbtiles");
    writeFile(StyleChooser::overrideFor("maps/water.mbtiles"),
              R"({"layers": [{"id": "w", "type": "fill", "source-layer": "water", "paint": {"fill-color": "#ff0000"}}]})");
    ASSERT_TRUE(map.create(testScreen(), "maps/water.mbtiles"));
    EXPECT_EQ(Pixels::pack565(255, 0, 0), centrePicture().rgb[0]);

    writeMBTiles("maps/broken.mbtiles", {{1, 0, 0, "\x1f\x8b garbage"}, {1, 1, 1, "\x1a\x05 short"}},
                 {{"format", "pbf"}});
    ASSERT_TRUE(map.create(testScreen(), "maps/broken.mbtiles"));
    map.draw();
    const std::vector<std::string> said = map.pipeline.reports.take();
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said[0].rfind("vector tile ", 0), 0u) << said[0];
}

// Empty tiles (no features: open sea, empty land) are stored by the
// thousand; they show the style's background, never the placeholder.
TEST_F(VectorArchive, AnEmptyTileShowsTheBackground)
{
    const std::string style = R"({"layers": [{"id": "bg", "type": "background", "paint": {"background-color": "#00ff00"}},
        {"id": "w", "type": "fill", "source-layer": "water", "paint": {"fill-color": "#ff0000"}}]})";
    std::vector<std::tuple<int, int, int, std::string>> rows;
    PMTilesLayout layout;
    layout.tileType = 1; // MVT
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y) {
            rows.emplace_back(1, x, y, x == 0 ? std::string() : Gzip::deflate(""));
            layout.tiles[{1, x, y}] = std::string();
        }
    writeMBTiles("maps/sea.mbtiles", rows, {{"format", "pbf"}, {"json", omtLayers}});
    writePMTiles("maps/sea.pmtiles", layout);
    for (const char* name : {"maps/sea.mbtiles", "maps/sea.pmtiles"}) {
        writeFile(StyleChooser::overrideFor(name), style);
        ASSERT_TRUE(map.create(testScreen(), name)) << name;
        int cells = 0;
        for (const Tile& t : map.tiles) {
            if (!t.image || t.x < 0 || t.y < 0 || t.x > 1 || t.y > 1)
                continue;
            ++cells;
            EXPECT_FALSE(t.image->substitute) << name;
            EXPECT_EQ(Pixels::pack565(0, 255, 0), t.image->bitmap->rgb[0]) << name << " " << t.x << "/" << t.y;
        }
        EXPECT_EQ(4, cells) << name;
    }
}

// The cells past the deepest level share their data tile: it is read and
// decoded once, only the layers the style draws, and drawn the same.
TEST_F(VectorArchive, OverzoomedCellsReadTheirDataTileOnce)
{
    writeWaterWorld("maps/water.mbtiles");
    const std::string style = std::string(TESSEL_SOURCE_DIR) + "/media/styles/openmaptiles.json";
    CellComposer composer(256, nullptr, nullptr);
    for (int sub = 0; sub < 4; ++sub) {
        TileRequest request;
        request.bg.kind = TileRef::Kind::archive;
        request.bg.path = "maps/water.mbtiles";
        request.bg.zoom = 1;
        request.bg.style = style;
        request.bg.overZoom = 1;
        request.bg.subX = sub % 2;
        request.bg.subY = sub / 2;
        const TileResult held = composer.work(request);
        CellComposer fresh(256, nullptr, nullptr);
        const TileResult read = fresh.work(request);
        ASSERT_TRUE(held.bitmap && read.bitmap);
        EXPECT_FALSE(held.standIn);
        EXPECT_EQ(read.bitmap->rgb, held.bitmap->rgb) << sub;
    }
    EXPECT_EQ(1u, composer.decoded.load());

    MvtFeature road;
    road.type = 2;
    road.geometry = Mvt::lines({{{0, 0}, {100, 100}}});
    const std::vector<std::string> wanted{"water"};
    VectorTile tile;
    std::string error;
    ASSERT_TRUE(MvtReader::read(Mvt::encode({{"road", 4096, {road}}, {"water", 4096, {Mvt::polygon({Mvt::square(0, 0, 9, 9)})}}}),
                                &tile, &error, &wanted));
    ASSERT_EQ(1u, tile.layers.size());
    EXPECT_EQ("water", tile.layers[0].name);
}

TEST(VectorFixtures, EveryRealTileDrawsWithTheStyleOfItsSchema)
{
    std::string why;
    const std::string monaco = monacoMBTiles(&why);
    const std::vector<std::pair<std::string, std::string>> archives{
        {sharedFixture("vector/uruguay.mbtiles"), "mapbox-streets.json"},
        {sharedFixture("vector/montevideo.pmtiles"), "generic.json"},
        {monaco, "openmaptiles.json"}};
    const std::string styles = std::string(TESSEL_SOURCE_DIR) + "/media/styles";
    int archivesRead = 0;
    for (const auto& a : archives) {
        std::string error;
        if (a.first.empty() || !fileExists(a.first))
            continue;
        ++archivesRead;
        std::unique_ptr<TileArchive> archive = TileArchive::open(a.first, &error);
        ASSERT_TRUE(archive) << a.first << ": " << error;
        const ArchiveInfo& info = archive->info();
        EXPECT_EQ("pbf", info.format);
        const std::string style =
            StyleChooser::choose(a.first, StyleChooser::layersOf(info.metadataJson, info.sampleTile), styles);
        EXPECT_EQ(styles + "/" + a.second, style);
        VectorPainter painter;
        EXPECT_TRUE(painter.style(style, false).skipped.empty());
        int drawn = 0;
        ASSERT_TRUE(archive->forEachTile([&](int z, long long x, long long y, long long, const std::string& bytes) {
            TileView view;
            view.zoom = z;
            Bitmap picture;
            EXPECT_TRUE(painter.paint(std::to_string(x) + "/" + std::to_string(y), bytes, style, false, view, &picture,
                                      &error))
                << a.first << " " << z << "/" << x << "/" << y << ": " << error;
            drawn += colours(picture) > 1;
            return true;
        }, &error));
        EXPECT_GT(drawn, 0) << a.first;
    }
    if (archivesRead < 3)
        GTEST_SKIP() << "some real archives are missing: " << (why.empty() ? "../shared/fixtures/vector" : why);
}

TEST(VectorFixtures, RenderMakesAPackageThatChecks)
{
    std::string why;
    const std::string monaco = monacoMBTiles(&why);
    if (monaco.empty())
        GTEST_SKIP() << why;
    TempDir dir;
    std::string error;
    std::shared_ptr<RenderedSource> source =
        RenderedSource::open(monaco, "", std::string(TESSEL_SOURCE_DIR) + "/media/styles", false, &error);
    ASSERT_TRUE(source) << error;
    Package::ImportOptions options;
    options.zoomMin = 13;
    options.zoomMax = 16;
    ASSERT_TRUE(Package::import({{source, "", false}}, options, "monaco", &error)) << error;
    EXPECT_GT(source->drawn, 20u);
    std::ostringstream report;
    EXPECT_TRUE(Package::check("monaco", report)) << report.str();
    // The source's credit goes with the drawings (this one has none, and
    // none is shown).
    ConfParser conf("monaco/map.conf", 1);
    std::string credit;
    conf.value("attribution", &credit);
    EXPECT_EQ(credit, MetadataText::fromHtml(source->attribution));
}
