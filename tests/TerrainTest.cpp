// Elevation tiles, cell grids, hill shading and contours on made-up
// shapes (planes, cones, ridges) whose slopes and lines are known exactly.
#include "Archives.h"
#include "Codecs.h"
#include "ContourPainter.h"
#include "Contours.h"
#include "ElevationSource.h"
#include "HillShade.h"
#include "Mercator.h"
#include "Terrain.h"
#include "TestSupport.h"

#include <cairo.h>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <random>

namespace {

std::string rgbaPng(int w, int h, const std::function<void(int x, int y, std::uint8_t* p)>& colour)
{
    SDL_Surface* s = Codecs::newRgba(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            colour(x, y, static_cast<std::uint8_t*>(s->pixels) + y * s->pitch + 4 * x);
    std::string png = Codecs::encodePng(s);
    SDL_FreeSurface(s);
    return png;
}

HillShade::Scale metresApart(double m)
{
    HillShade::Scale s;
    s.topMetres = s.bottomMetres = m;
    return s;
}

} // namespace

TEST(ElevationEncoding, BothFormulasAndWhatArchivesDeclare)
{
    EXPECT_EQ(Elevations::decodeTerrarium(128, 0, 0), 0.f);
    EXPECT_EQ(Elevations::decodeTerrarium(0, 0, 0), -32768.f);
    EXPECT_NEAR(Elevations::decodeMapbox(1, 134, 160), 0.f, 1e-3);
    for (double m : {-415.25, 0.0, 1234.5, 8848.0}) {
        std::uint8_t r, g, b;
        Elevations::encodeTerrarium(m, &r, &g, &b);
        EXPECT_EQ(Elevations::decodeTerrarium(r, g, b), m);
    }
    TempDir dir;
    const std::string tile = terrariumTile(16, [](double, double) { return 10; });
    writeMBTiles("rgb.mbtiles", {{0, 0, 0, tile}}, {{"name", "dem"}, {"format", "png"}, {"encoding", "Mapbox"}});
    PMTilesLayout layout;
    layout.tiles[{0, 0, 0}] = tile;
    layout.metadata = R"({"name":"dem","encoding":"terrarium"})";
    writePMTiles("t.pmtiles", layout);
    layout.metadata = R"({"name":"plain"})";
    writePMTiles("plain.pmtiles", layout);
    std::string why;
    EXPECT_EQ(Elevations::encodingOf(TileArchive::open("rgb.mbtiles", &why)->info()), ElevationEncoding::mapbox);
    EXPECT_EQ(Elevations::encodingOf(TileArchive::open("t.pmtiles", &why)->info()), ElevationEncoding::terrarium);
    EXPECT_EQ(Elevations::encodingOf(TileArchive::open("plain.pmtiles", &why)->info()), ElevationEncoding::none);
    EXPECT_FALSE(ElevationSource::open("plain.pmtiles", ElevationEncoding::none, &why));
    EXPECT_NE(why.find("no elevation encoding"), std::string::npos) << why;
    EXPECT_TRUE(ElevationSource::open("plain.pmtiles", ElevationEncoding::terrarium, &why)) << why;
}

TEST(ElevationTile, TilesThatAreNotElevationsAreRefusedWithAReason)
{
    std::mt19937 random(7);
    const std::string photo = rgbaPng(64, 64, [&](int, int, std::uint8_t* p) {
        p[0] = static_cast<std::uint8_t>(random());
        p[1] = static_cast<std::uint8_t>(random());
        p[2] = static_cast<std::uint8_t>(random());
        p[3] = 255;
    });
    ElevationTile t;
    std::string why;
    for (ElevationEncoding e : {ElevationEncoding::terrarium, ElevationEncoding::mapbox}) {
        EXPECT_FALSE(ElevationTile::decode(photo, e, &t, &why));
        EXPECT_NE(why.find("not " + std::string(Elevations::encodingName(e)) + " elevations"), std::string::npos) << why;
    }
    EXPECT_FALSE(ElevationTile::decode(rgbaPng(1, 1, [](int, int, std::uint8_t* p) { p[0] = 128, p[1] = p[2] = 0, p[3] = 255; }),
                                       ElevationEncoding::terrarium, &t, &why));
    EXPECT_NE(why.find("1 px are refused"), std::string::npos) << why;
    EXPECT_FALSE(ElevationTile::decode("\xff\xd8\xff\xe0 not really", ElevationEncoding::terrarium, &t, &why));
    EXPECT_NE(why.find("JPEG cannot hold exact values"), std::string::npos) << why;
    EXPECT_FALSE(ElevationTile::decode(std::string(), ElevationEncoding::terrarium, &t, &why));
    // A tile of voids (one marker colour) or transparent pixels is no data, not an error.
    const std::string voids = rgbaPng(32, 32, [](int x, int, std::uint8_t* p) {
        p[0] = p[1] = p[2] = 0;
        p[3] = x < 16 ? 255 : 0;
    });
    ASSERT_TRUE(ElevationTile::decode(voids, ElevationEncoding::terrarium, &t, &why)) << why;
    EXPECT_TRUE(t.hasVoids);
    for (float v : t.metres)
        EXPECT_TRUE(v != v);
}

TEST(HillShade, FlatGroundIsClearAndSlopesFacingAwayFromTheLightAreDark)
{
    Bitmap out;
    HillShade::draw(gridOf(64, [](double, double) { return 500; }), metresApart(10), &out);
    ASSERT_EQ(out.size, 64);
    for (std::uint8_t a : out.alpha)
        EXPECT_EQ(a, 0);
    // Rising to the north-west: the ground faces south-east, away from the main light.
    HillShade::draw(gridOf(64, [](double x, double y) { return -10 * (x + y); }), metresApart(10), &out);
    const int expected = HillShade::alphaOf(-1, 1);
    EXPECT_GT(expected, HillShade::maxAlpha / 2);
    for (std::uint8_t a : out.alpha)
        ASSERT_EQ(a, expected);
    EXPECT_EQ(out.rgb[0], HillShade::shadowColour);
    HillShade::draw(gridOf(64, [](double x, double y) { return 10 * (x + y); }), metresApart(10), &out);
    for (std::uint8_t a : out.alpha)
        ASSERT_EQ(a, 0);
    // A cone: dark on its south-east flank, clear on its north-west one.
    HillShade::draw(gridOf(64, [](double x, double y) { return 1000 - 8 * std::hypot(x - 32, y - 32); }),
                    metresApart(10), &out);
    EXPECT_EQ(out.alpha[20 * 64 + 20], 0);
    EXPECT_GT(out.alpha[44 * 64 + 44], 100);
    EXPECT_GT(out.alpha[44 * 64 + 44], out.alpha[32 * 64 + 44]);
    // Exaggeration steepens: a gentle slope darkens more at coarse levels.
    HillShade::Scale coarse = metresApart(10);
    coarse.exaggeration = 4;
    HillShade::draw(gridOf(64, [](double x, double y) { return -(x + y); }), coarse, &out);
    EXPECT_EQ(out.alpha[100], HillShade::alphaOf(-0.4, 0.4));
    EXPECT_GT(HillShade::scaleOf(8, 90, 256).exaggeration, HillShade::scaleOf(14, 5000, 256).exaggeration);
}

TEST(HillShade, VoidsStayClear)
{
    Bitmap out;
    HillShade::draw(gridOf(32, [](double x, double y) { return x > 10 && x < 20 && y > 10 && y < 20 ? NAN : -10 * x; }),
                    metresApart(10), &out);
    EXPECT_EQ(out.alpha[15 * 32 + 15], 0);
    EXPECT_EQ(out.alpha[10 * 32 + 15], 0); // beside the hole
    EXPECT_GT(out.alpha[9 * 32 + 15], 0);
    EXPECT_GT(out.alpha[2 * 32 + 2], 0);
}

TEST(ElevationGrid, TheRingHoldsTheNeighboursOwnSamples)
{
    const int n = 64;
    ElevationBlock a, b;
    a.tiles[1][1] = b.tiles[1][0] = tileOf(n, alpine, 0, 0);
    a.tiles[1][2] = b.tiles[1][1] = tileOf(n, alpine, n, 0);
    ElevationGrid ga, gb;
    ElevationGrid::build(a, n, 0, 0, 0, &ga);
    ElevationGrid::build(b, n, 0, 0, 0, &gb);
    for (int y = 0; y < n; ++y) {
        ASSERT_EQ(ga.at(n, y), gb.at(0, y));
        ASSERT_EQ(ga.at(n - 1, y), gb.at(-1, y));
    }
    // Where no neighbour is, the edge repeats: no cliff at the data's end.
    EXPECT_EQ(ga.at(-1, 5), ga.at(0, 5));
    // So the shading of the last column of one cell and the first of the
    // next come from the same ground as any column between: the shading of
    // both cells equals that of one grid over both, column for column.
    ElevationGrid whole;
    whole.size = 2 * n;
    whole.z.assign(static_cast<std::size_t>(whole.stride()) * whole.stride(), 0);
    for (int y = -1; y <= n; ++y)
        for (int x = -1; x <= 2 * n; ++x)
            whole.at(x, y) = x < n ? ga.at(std::min(x, n), y) : gb.at(x - n, y);
    Bitmap sa, sb, sw;
    HillShade::draw(ga, metresApart(10), &sa);
    HillShade::draw(gb, metresApart(10), &sb);
    HillShade::draw(whole, metresApart(10), &sw);
    for (int y = 1; y < n - 1; ++y)
        for (int x = 1; x < 2 * n - 1; ++x)
            ASSERT_EQ(sw.alpha[static_cast<std::size_t>(y) * 2 * n + x],
                      x < n ? sa.alpha[static_cast<std::size_t>(y) * n + x] : sb.alpha[static_cast<std::size_t>(y) * n + x - n])
                << x << "," << y;
}

TEST(ElevationGrid, PastTheDeepestLevelElevationsAreInterpolatedNotStepped)
{
    ElevationBlock block;
    block.tiles[1][1] = tileOf(64, [](double x, double y) { return 100 + 3 * x + 2 * y; });
    ElevationGrid g;
    ElevationGrid::build(block, 64, 2, 1, 1, &g); // a quarter of a quarter, four times larger
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double u = 16 + (x + 0.5) / 4 - 0.5, v = 16 + (y + 0.5) / 4 - 0.5;
            ASSERT_NEAR(g.at(x, y), 100 + 3 * u + 2 * v, 1e-3);
        }
    // Shading a plane upsampled stays even.
    Bitmap out;
    HillShade::draw(g, metresApart(2), &out);
    for (std::uint8_t a : out.alpha)
        ASSERT_EQ(a, out.alpha[0]);
}

TEST(Contours, LinesLieWhereThePlaneAndTheConeSayAndMeetAcrossCells)
{
    std::vector<ContourLine> lines = Contours::trace(gridOf(32, [](double x, double) { return 10 * x; }), 50);
    ASSERT_EQ(lines.size(), 7u); // 0 to 300 m
    for (const ContourLine& l : lines) {
        EXPECT_EQ(l.major, std::lround(l.elevation) % 250 == 0) << l.elevation;
        for (std::size_t i = 0; i < l.xy.size(); i += 2)
            ASSERT_NEAR(l.xy[i], l.elevation / 10 + 0.5, 1e-4);
        EXPECT_NEAR(std::fabs(l.xy[1] - l.xy.back()), 33, 1e-4); // the cell and half a pixel beyond each edge
    }
    lines = Contours::trace(gridOf(64, [](double x, double y) { return 1000 - 10 * std::hypot(x - 31.5, y - 31.5); }), 100);
    ASSERT_EQ(lines.size(), 7u); // 700 to 900 m closed, 600 m cut by the cell's edges into four
    for (const ContourLine& l : lines) {
        EXPECT_EQ(l.closed, l.elevation >= 700);
        for (std::size_t i = 0; i < l.xy.size(); i += 2)
            ASSERT_NEAR(std::hypot(l.xy[i] - 32, l.xy[i + 1] - 32), (1000 - l.elevation) / 10, 0.15);
    }
    // Two cells side by side draw the same pieces in the square between them.
    const int n = 64;
    auto piecesNear = [](const ElevationGrid& g, double x0, double shift) {
        std::multiset<std::pair<long, long>> points;
        for (const ContourLine& l : Contours::trace(g, 10))
            for (std::size_t i = 0; i < l.xy.size(); i += 2)
                if (l.xy[i] >= x0 && l.xy[i] <= x0 + 1)
                    points.insert({std::lround((l.xy[i] + shift) * 1000), std::lround(l.xy[i + 1] * 1000)});
        return points;
    };
    ElevationBlock a, b;
    a.tiles[1][1] = b.tiles[1][0] = tileOf(n, alpine, 0, 0);
    a.tiles[1][2] = b.tiles[1][1] = tileOf(n, alpine, n, 0);
    ElevationGrid ga, gb;
    ElevationGrid::build(a, n, 0, 0, 0, &ga);
    ElevationGrid::build(b, n, 0, 0, 0, &gb);
    const auto fromA = piecesNear(ga, n - 0.5, -n), fromB = piecesNear(gb, -0.5, 0);
    EXPECT_GT(fromA.size(), 10u);
    EXPECT_EQ(fromA, fromB);
}

TEST(Contours, IntervalsByLevelAndNoDataLeftOut)
{
    EXPECT_EQ(Contours::intervalAt(5), 500);
    EXPECT_EQ(Contours::intervalAt(12), 50);
    EXPECT_EQ(Contours::intervalAt(18), 10);
    const auto lines = Contours::trace(gridOf(32, [](double x, double y) { return x > 8 && y > 8 ? NAN : 5 * x; }), 20);
    EXPECT_FALSE(lines.empty());
    for (const ContourLine& l : lines)
        for (float v : l.xy)
            ASSERT_TRUE(v == v);
    EXPECT_TRUE(Contours::trace(gridOf(8, [](double, double) { return NAN; }), 20).empty());
    EXPECT_TRUE(Contours::trace(gridOf(8, [](double x, double) { return x; }), 0).empty());
    // Noise over thousands of metres at a metre's interval: the work stops at a bound.
    std::mt19937 random(5);
    bool cut = false;
    const auto noise = Contours::trace(gridOf(256, [&](double, double) { return random() % 20000 - 11000.0; }), 1, 5, &cut);
    EXPECT_TRUE(cut);
    std::size_t points = 0;
    for (const ContourLine& l : noise)
        points += l.xy.size() / 2;
    EXPECT_LT(points, 3 * Contours::maxSegments);
}

TEST(ContourPainter, LinesAndHeightsDrawnInsideTheCell)
{
    const int n = 256;
    const auto lines = Contours::trace(gridOf(n, [](double x, double y) { return 1000 - 4 * std::hypot(x - 128, y - 128); }), 20);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, n, n);
    cairo_t* cr = cairo_create(surface);
    const ContourPainter::Style style;
    const auto labels = ContourPainter::labels(cr, lines, n, style);
    ASSERT_FALSE(labels.empty());
    for (const ContourLabel& l : labels) {
        EXPECT_EQ(std::stoi(l.text) % 100, 0) << l.text;
        EXPECT_TRUE(l.x > 0 && l.y > 0 && l.x < n && l.y < n);
        EXPECT_LE(std::fabs(l.angle), M_PI / 2 + 1e-6);
    }
    ContourPainter::draw(cr, lines, n, style);
    cairo_surface_flush(surface);
    const std::uint32_t* px = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface));
    const int stride = cairo_image_surface_get_stride(surface) / 4;
    EXPECT_NE(px[128 * stride + 128 + 25] >> 24, 0u); // the 900 m line, 25 px east of the top
    EXPECT_EQ(px[128 * stride + 128 + 12] >> 24, 0u); // between lines
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

TEST(ElevationSource, ElevationsAtPlacesAndForTracks)
{
    TempDir dir;
    // Level 1, four 64 px tiles of one plane rising east.
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    for (int x = 0; x < 2; ++x)
        for (int y = 0; y < 2; ++y)
            tiles.emplace_back(1, x, 1 - y, terrariumTile(64, [](double sx, double) { return sx; }, 64 * x, 64 * y));
    writeMBTiles("plane.mbtiles", tiles, {{"name", "plane"}, {"format", "png"}, {"encoding", "terrarium"}});
    std::string why;
    auto dem = ElevationSource::open("plane.mbtiles", ElevationEncoding::none, &why);
    ASSERT_TRUE(dem) << why;
    EXPECT_EQ(dem->deepest(), 1);
    for (double lon : {-170.0, -45.0, 0.0, 33.3, 120.0}) {
        double px, py, m = -1;
        Mercator::toPixel(lon, 40, 1, &px, &py);
        ASSERT_TRUE(dem->elevationAt(lon, 40, &m));
        EXPECT_NEAR(m, std::clamp(px * 64 / 256 - 0.5, 0.0, 127.0), 0.01) << lon;
    }
    std::vector<TrackPoint> track(3);
    track[0].lon = 10;
    track[1].lon = 20;
    track[1].elevation = 5;
    track[2].lat = 89; // beyond the map
    EXPECT_EQ(dem->fill(&track), 1u);
    EXPECT_EQ(track[1].elevation, 5);
    EXPECT_FALSE(track[2].hasElevation());
    // An archive of photographs gives no elevations, and says why.
    const std::string photo = rgbaPng(64, 64, [](int x, int y, std::uint8_t* p) {
        p[0] = static_cast<std::uint8_t>(x * 4), p[1] = static_cast<std::uint8_t>(y * 4), p[2] = 90, p[3] = 255;
    });
    writeMBTiles("photo.mbtiles", {{0, 0, 0, photo}}, {{"name", "photo"}, {"format", "png"}, {"encoding", "terrarium"}});
    dem = ElevationSource::open("photo.mbtiles", ElevationEncoding::none, &why);
    ASSERT_TRUE(dem) << why;
    double m;
    EXPECT_FALSE(dem->elevationAt(0, 0, &m));
    EXPECT_NE(dem->problem().find("tile 0/0/0: its colours are not terrarium elevations"), std::string::npos)
        << dem->problem();
}
