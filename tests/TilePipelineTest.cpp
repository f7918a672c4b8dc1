// The decoded-tile cache, the loader driven step by step, stand-ins and
// missing tiles, cancelling and shutting down.
#include "Map.h"
#include "Packages.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<TileImage> imageOf(int size)
{
    auto b = std::make_shared<Bitmap>();
    b->reset(size, false);
    b->fill(0);
    return std::make_shared<TileImage>(b);
}

CellKey key(long long x)
{
    CellKey k;
    k.x = x;
    return k;
}

} // namespace

TEST(TileCacheTest, KeepsTheMostRecentlyUsedWithinItsBytes)
{
    const std::size_t one = imageOf(16)->bytes();
    TileCache cache(3 * one);
    for (int i = 0; i < 3; ++i)
        cache.put(key(i), imageOf(16));
    ASSERT_NE(cache.get(key(0)), nullptr); // 0 is now the newest
    cache.put(key(3), imageOf(16));
    EXPECT_FALSE(cache.contains(key(1))) << "least recently used goes first";
    EXPECT_EQ(cache.order(), (std::list<CellKey>{key(3), key(0), key(2)}));
    EXPECT_EQ(cache.bytes(), 3 * one);
    cache.setLimit(one / 2);
    EXPECT_EQ(cache.order(), std::list<CellKey>{key(3)}) << "the newest stays even over the limit";
    EXPECT_EQ(cache.evictions, 3u);
}

class Pipeline : public ::testing::Test {
protected:
    // The sample package (6 x 4 tiles at level 10, 3 x 2 at level 11) with
    // "sat" tiles left out at level 10 where `missing` says. The view's grid
    // starts at (1, 1) with the screen at (100, 50) in it.
    void SetUp() override
    {
        writeMissingTileImage("media/na.png");
        writeSamplePackage("maps/a/", "A", true);
        writeSamplePackage("maps/b/", "B", false);
    }

    void open(TilePipeline::Mode mode, const char* package = "maps/a/map.conf")
    {
        map.pipeline.setMode(mode);
        ASSERT_TRUE(map.create(testScreen(), package));
    }

    TileSpot shown(int x, int y)
    {
        map.draw();
        return spotAt(testScreen(), x, y);
    }

    std::vector<std::pair<long long, long long>> pendingCells()
    {
        std::vector<std::pair<long long, long long>> cells;
        for (const CellKey& k : map.pipeline.loader->pending())
            cells.emplace_back(k.x, k.y);
        return cells;
    }

    unsigned long decoded() { return map.pipeline.composer->decoded; }

    TempDir dir;
    Map map;
};

TEST_F(Pipeline, StandInsShowUntilTheLoaderDeliversNearestFirst)
{
    open(TilePipeline::Mode::manual);
    EXPECT_EQ(shown(10, 10).id, 31) << "the placeholder (255, 0, 255) while nothing is cached";
    // The screen centre (260, 170) of the grid lies in cell (1, 0) = tile (2, 1).
    EXPECT_EQ(pendingCells(), (std::vector<std::pair<long long, long long>>{{2, 1}, {1, 1}, {2, 2}, {1, 2}, {3, 1}, {3, 2}}));
    ASSERT_TRUE(map.pipeline.loader->step());
    EXPECT_TRUE(map.update());
    EXPECT_TRUE(map.tiles[1].ready);
    EXPECT_FALSE(map.tiles[0].ready);
    EXPECT_EQ(shown(200, 10).id, 8) << "tile (2, 1) in place";
    while (map.pipeline.loader->step()) {
    }
    EXPECT_TRUE(map.update());
    EXPECT_EQ(shown(10, 10).id, 7);
    EXPECT_FALSE(map.update()) << "nothing new";

    // Zooming out and in again, and a swing across a column edge, use the
    // cache: the level-10 tiles are not decoded again, and the way back in
    // shows the coarser tiles scaled up first.
    ASSERT_TRUE(map.zoomOut());
    while (map.pipeline.loader->step()) {
    }
    map.update();
    const unsigned long before = decoded();
    ASSERT_TRUE(map.zoomIn());
    EXPECT_TRUE(map.pipeline.loader->pending().empty());
    EXPECT_EQ(shown(10, 10).id, 7);
    EXPECT_EQ(decoded(), before);

    const auto drain = [&] {
        while (map.pipeline.loader->step()) {
        }
        map.update();
    };
    map.move(-200, 0); // column 0 comes in, and the column ahead of each way is loaded
    drain();
    map.move(200, 0);
    drain();
    const unsigned long swung = decoded();
    for (int i = 0; i < 10; ++i) {
        map.move(-200, 0);
        map.move(200, 0);
        EXPECT_TRUE(map.pipeline.loader->pending().empty());
        drain();
    }
    EXPECT_EQ(decoded(), swung) << "swings across an edge decode nothing again";
}

// Whole factors take a faster path: every pixel, colour and alpha, is
// still the nearest neighbour of the general rule.
TEST(StandInTest, ScaledSquaresAreTheNearestNeighbourOfEachPixel)
{
    Bitmap parent;
    parent.reset(256, true);
    for (std::size_t i = 0; i < parent.rgb.size(); ++i) {
        parent.rgb[i] = static_cast<std::uint16_t>(i * 2654435761u >> 7);
        parent.alpha[i] = static_cast<std::uint8_t>(i * 40503u >> 5);
    }
    const struct {
        int x, y, edge, size;
    } cases[] = {{128, 0, 128, 256}, {64, 192, 64, 256}, {224, 32, 32, 256}, {5, 7, 3, 256}, {0, 0, 256, 256}, {9, 2, 100, 256}};
    for (const auto& c : cases) {
        for (const bool opaque : {false, true}) {
            Bitmap source = parent;
            if (opaque)
                source.alpha.clear();
            Bitmap out;
            Pixels::cutAndScale(source, c.x, c.y, c.edge, c.size, &out);
            ASSERT_EQ(out.size, c.size);
            ASSERT_EQ(out.opaque(), opaque);
            for (int ty = 0; ty < c.size; ++ty)
                for (int tx = 0; tx < c.size; ++tx) {
                    const std::size_t from = static_cast<std::size_t>((c.y + ty * c.edge / c.size) * 256 + c.x + tx * c.edge / c.size);
                    const std::size_t to = static_cast<std::size_t>(ty * c.size + tx);
                    ASSERT_EQ(out.rgb[to], source.rgb[from]) << c.edge << " at " << tx << "," << ty;
                    if (!opaque) {
                        ASSERT_EQ(out.alpha[to], source.alpha[from]) << c.edge << " at " << tx << "," << ty;
                    }
                }
        }
    }
}

TEST_F(Pipeline, ZoomingInShowsTheParentScaledUpFirst)
{
    open(TilePipeline::Mode::synchronous);
    ASSERT_TRUE(map.zoomOut());
    map.pipeline.cache.clear();
    map.setBg(0); // only level 11 is cached now
    map.pipeline.setMode(TilePipeline::Mode::manual);
    ASSERT_TRUE(map.zoomIn());
    // Screen (10, 10) is (110, 60) of tile (1, 1): the parent (0, 0) at
    // level 11, id 20, at (128 + 55, 128 + 30).
    const TileSpot spot = shown(10, 10);
    EXPECT_EQ(spot.id, 20);
    EXPECT_NEAR(spot.px, 183, 4);
    EXPECT_NEAR(spot.py, 158, 8);
    while (map.pipeline.loader->step()) {
    }
    map.update();
    EXPECT_EQ(shown(10, 10).id, 7);
}

TEST_F(Pipeline, MissingTilesShowTheirAncestorWithTheOverlayOverIt)
{
    std::remove("maps/b/sat/v=sat&x=1&y=1&zoom=10");
    open(TilePipeline::Mode::synchronous, "maps/b/map.conf");
    ASSERT_TRUE(map.setOverlay(0));
    TileSpot spot = shown(10, 10);
    EXPECT_EQ(spot.id, 20) << "the coarser tile stands in";
    EXPECT_NEAR(spot.px, 183, 4);
    Uint8 r, g, b;
    pixelAt(testScreen(), 30, 80, &r, &g, &b); // (130, 130) of tile (1, 1): the overlay's white square
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({255, 255, 255}));

    const unsigned long before = decoded();
    map.setMissingParents(false);
    EXPECT_EQ(decoded() - before, 1u) << "only the missing cell's overlay is read again";
    EXPECT_EQ(shown(10, 10).id, 31) << "the placeholder";
    pixelAt(testScreen(), 30, 80, &r, &g, &b);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({255, 255, 255})) << "the overlay over it";
}

TEST_F(Pipeline, ZoomAndPackageChangeCancelWhatIsNoLongerWanted)
{
    open(TilePipeline::Mode::manual);
    ASSERT_EQ(map.pipeline.loader->pending().size(), 6u);
    ASSERT_TRUE(map.zoomOut());
    EXPECT_EQ(map.pipeline.loader->cancelled(), 6u);
    for (const CellKey& k : map.pipeline.loader->pending())
        EXPECT_EQ(k.level, 11);
    ASSERT_TRUE(map.create(testScreen(), "maps/b/map.conf"));
    EXPECT_EQ(map.pipeline.loader->cancelled(), 6u + 6u);
    // What the loader does next is the new package's nearest cell.
    ASSERT_TRUE(map.pipeline.loader->step());
    EXPECT_TRUE(map.update());
}

TEST_F(Pipeline, TheLoaderThreadStopsCleanlyWithWorkPending)
{
    open(TilePipeline::Mode::background);
    map.zoomOut();
    map.zoomIn();
    map.move(300, 200);
    // The destructor joins the thread whatever it was doing; under
    // ThreadSanitizer this also checks the hand-over of results.
    for (int i = 0; i < 1000 && !map.pipeline.loader->idle(); ++i)
        map.update();
}
