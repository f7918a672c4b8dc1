#include "MvtReader.h"
#include "MvtTiles.h"
#include "StraightRun.h"
#include "VectorRenderer.h"
#include "VectorStyle.h"

#include <cmath>
#include <gtest/gtest.h>
#include <protozero/pbf_writer.hpp>

namespace {

const char* const testStyle = R"({
  "version": 8, "name": "test",
  "layers": [
    {"id": "bg", "type": "background", "paint": {"background-color": "#ffffff"}},
    {"id": "water", "type": "fill", "source-layer": "water", "paint": {"fill-color": "#0000ff"}},
    {"id": "road", "type": "line", "source-layer": "road", "filter": ["==", "class", "major"],
     "paint": {"line-color": "#ff0000", "line-width": {"stops": [[10, 2], [14, 8]]}}},
    {"id": "road-name", "type": "symbol", "source-layer": "road",
     "layout": {"text-field": "{name}", "text-size": 12, "symbol-placement": "line"},
     "paint": {"text-color": "#000000", "text-halo-color": "#ffffff", "text-halo-width": 1}},
    {"id": "place", "type": "symbol", "source-layer": "place",
     "layout": {"text-field": "{name}", "text-size": 12, "symbol-sort-key": ["get", "rank"]},
     "paint": {"text-color": "#000000", "text-halo-color": "#ffffff", "text-halo-width": 1}}
  ]})";

VectorStyle style()
{
    VectorStyle s;
    std::string error;
    EXPECT_TRUE(VectorStyle::parse(testStyle, &s, &error)) << error;
    EXPECT_TRUE(s.skipped.empty());
    return s;
}

VectorTile decode(const std::string& bytes)
{
    VectorTile tile;
    std::string error;
    EXPECT_TRUE(MvtReader::read(bytes, &tile, &error)) << error;
    return tile;
}

std::uint16_t pixel(const Bitmap& b, int x, int y)
{
    return b.rgb[static_cast<std::size_t>(y) * b.size + x];
}

Bitmap render(const std::vector<MvtLayer>& layers, TileView view = TileView(), std::vector<PlacedLabel>* labels = nullptr)
{
    Bitmap b;
    VectorRenderer::draw(decode(Mvt::encode(layers)), style(), view, &b, labels);
    return b;
}

MvtFeature place(const std::string& name, int x, int y, double rank)
{
    MvtFeature f;
    f.type = 1;
    f.geometry = Mvt::points({{x, y}});
    f.text = {{"name", name}};
    f.numbers = {{"rank", rank}};
    return f;
}

const std::uint16_t white = 0xffff, blue = 0x001f, red = 0xf800;

} // namespace

TEST(MvtReader, ReadsRingsHolesPartsAndEveryValueType)
{
    MvtLayer water{"water", 512, {Mvt::polygon({Mvt::square(0, 0, 100, 100), Mvt::square(10, 10, 20, 20, false),
                                                Mvt::square(200, 200, 300, 300)})}};
    MvtFeature road;
    road.type = 2;
    road.geometry = Mvt::lines({{{0, 0}, {10, 10}}, {{20, 20}, {30, 30}, {40, 20}}});
    MvtFeature spots;
    spots.type = 1;
    spots.geometry = Mvt::points({{1, 2}, {3, 4}});
    const VectorTile tile = decode(Mvt::encode({water, {"road", 4096, {road, spots}}}));
    ASSERT_EQ(2u, tile.layers.size());
    EXPECT_EQ(512u, tile.layers[0].extent);
    const VectorFeature& poly = tile.layers[0].features.at(0);
    ASSERT_EQ(3u, poly.parts.size());
    EXPECT_FALSE(poly.parts[0].hole);
    EXPECT_TRUE(poly.parts[1].hole);
    EXPECT_FALSE(poly.parts[2].hole);
    EXPECT_EQ(12u, poly.parts[2].end);
    const VectorFeature& line = tile.layers[1].features.at(0);
    ASSERT_EQ(2u, line.parts.size());
    EXPECT_EQ(40, line.points.back().x);
    EXPECT_EQ(2u, tile.layers[1].features.at(1).parts.size());
    EXPECT_TRUE(tile.skipped.empty());

    // Values of every type the format has.
    std::string data;
    {
        protozero::pbf_writer t(data);
        protozero::pbf_writer l(t, 3);
        l.add_string(1, "v");
        {
            protozero::pbf_writer f(l, 2);
            const std::vector<std::uint32_t> tags{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6};
            f.add_packed_uint32(2, tags.begin(), tags.end());
            f.add_enum(3, 1);
            const auto g = Mvt::points({{5, 5}});
            f.add_packed_uint32(4, g.begin(), g.end());
        }
        for (const char* k : {"s", "f", "d", "i", "u", "z", "b"})
            l.add_string(3, k);
        protozero::pbf_writer(l, 4).add_string(1, "text");
        protozero::pbf_writer(l, 4).add_float(2, 1.5f);
        protozero::pbf_writer(l, 4).add_double(3, 2.5);
        protozero::pbf_writer(l, 4).add_int64(4, -3);
        protozero::pbf_writer(l, 4).add_uint64(5, 4);
        protozero::pbf_writer(l, 4).add_sint64(6, -5);
        protozero::pbf_writer(l, 4).add_bool(7, true);
    }
    const VectorTile values = decode(data);
    const VectorLayer& l = values.layers.at(0);
    const VectorFeature& f = l.features.at(0);
    EXPECT_EQ("text", l.value(f, 0)->text);
    EXPECT_EQ(1.5, l.value(f, 1)->number);
    EXPECT_EQ(2.5, l.value(f, 2)->number);
    EXPECT_EQ(-3, l.value(f, 3)->number);
    EXPECT_EQ(4, l.value(f, 4)->number);
    EXPECT_EQ(-5, l.value(f, 5)->number);
    EXPECT_TRUE(l.value(f, 6)->boolean);
}

TEST(MvtReader, SkipsBrokenFeaturesAndRefusesBrokenTiles)
{
    VectorTile tile;
    std::string error;
    const std::string good = Mvt::encode({{"water", 4096, {Mvt::polygon({Mvt::square(0, 0, 100, 100)})}}});
    EXPECT_FALSE(MvtReader::read(good.substr(0, good.size() - 3), &tile, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(MvtReader::read(std::string("\x1f\x8b garbage"), &tile, &error));

    MvtFeature runaway; // a LineTo claiming millions of points
    runaway.type = 2;
    runaway.geometry = {9, 0, 0, (3000000u << 3) | 2, 2, 2};
    MvtFeature far; // coordinates far outside the extent
    far.type = 1;
    far.geometry = Mvt::points({{100000000, 5}});
    MvtFeature stray; // ClosePath in a line
    stray.type = 2;
    stray.geometry = {9, 0, 0, 7 | (1 << 3)};
    MvtFeature huge; // more vertices than a tile may have
    huge.type = 1;
    huge.geometry = {1u | static_cast<std::uint32_t>((MvtReader::maxVertices + 1) << 3)};
    huge.geometry.resize(1 + 2 * (MvtReader::maxVertices + 1), 2);
    MvtFeature fine;
    fine.type = 1;
    fine.geometry = Mvt::points({{5, 5}});
    fine.text = {{"name", "kept"}};
    const VectorTile read = decode(Mvt::encode({{"x", 4096, {runaway, far, stray, huge, fine}}}));
    ASSERT_EQ(1u, read.layers.at(0).features.size());
    EXPECT_EQ(4u, read.skipped.size());
}

TEST(VectorRenderer, FillsWaterKeepsHolesEmptyAndStrokesRoadsByLevel)
{
    const Bitmap b = render({{"water", 4096, {Mvt::polygon({Mvt::square(0, 0, 4096, 4096),
                                                            Mvt::square(1024, 1024, 3072, 3072, false)})}}});
    ASSERT_EQ(256, b.size);
    EXPECT_EQ(blue, pixel(b, 8, 8));
    EXPECT_EQ(white, pixel(b, 128, 128));

    MvtFeature road;
    road.type = 2;
    road.geometry = Mvt::lines({{{0, 2048}, {4096, 2048}}});
    road.text = {{"class", "major"}};
    TileView view;
    view.zoom = 14;
    const Bitmap wide = render({{"road", 4096, {road}}}, view);
    EXPECT_EQ(red, pixel(wide, 100, 128 + 3));
    view.zoom = 10;
    const Bitmap thin = render({{"road", 4096, {road}}}, view);
    EXPECT_EQ(white, pixel(thin, 100, 128 + 3));
    road.text = {{"class", "minor"}};
    EXPECT_EQ(white, pixel(render({{"road", 4096, {road}}}, view), 100, 128));
}

TEST(VectorRenderer, LinesAndAreasJoinAcrossTheTileEdgeWithoutSeam)
{
    // A diagonal road and a lake running from one tile into its eastern
    // neighbour, each tile holding the buffer beyond its edge.
    auto tileAt = [](int dx) {
        MvtFeature road;
        road.type = 2;
        road.geometry = Mvt::lines({{{-512 - dx, 1000}, {4608 - dx, 3000}}});
        road.text = {{"class", "major"}};
        return std::vector<MvtLayer>{{"water", 4096, {Mvt::polygon({Mvt::square(3500 - dx, 3300, 4600 - dx, 3900)})}},
                                     {"road", 4096, {road}}};
    };
    TileView view;
    view.zoom = 14;
    const Bitmap west = render(tileAt(0), view), east = render(tileAt(4096), view);
    // The two columns meeting at the edge continue each other: the pixels
    // one column apart differ no more than neighbours inside one tile do.
    for (int y = 0; y < 256; ++y) {
        const std::uint16_t a = pixel(west, 255, y), b = pixel(east, 0, y);
        if (pixel(west, 254, y) == a && pixel(east, 1, y) == b) {
            EXPECT_EQ(a, b) << "row " << y;
        }
    }
    EXPECT_EQ(blue, pixel(west, 255, 230));
    EXPECT_EQ(blue, pixel(east, 0, 230));
}

TEST(VectorRenderer, OverzoomDrawsTheSquareOfTheDeepestTileSharp)
{
    MvtLayer water{"water", 4096, {Mvt::polygon({Mvt::square(0, 0, 2048 + 64, 4096)})}};
    TileView view;
    view.overZoom = 4;
    view.subX = 7; // the last sixteenth left of the middle: the edge 64/4096 into the next square
    const Bitmap b = render({water}, view);
    EXPECT_EQ(blue, pixel(b, 200, 10));
    view.subX = 8;
    const Bitmap next = render({water}, view);
    EXPECT_EQ(blue, pixel(next, 60, 10));
    EXPECT_EQ(white, pixel(next, 68, 10));
}

TEST(VectorRenderer, PlacesLabelsByRankOnceWithoutOverlapOrCutting)
{
    std::vector<PlacedLabel> labels;
    render({{"place", 4096,
             {place("Village", 2048, 2100, 5), place("City", 2048, 2048, 1), place("City", 2200, 2048, 1),
              place("Edge", 4090, 300, 1), place("Far", 1000, 3500, 9)}}},
           TileView(), &labels);
    ASSERT_EQ(2u, labels.size());
    EXPECT_EQ("City", labels[0].text);
    EXPECT_EQ("Far", labels[1].text);
    for (const PlacedLabel& l : labels) {
        EXPECT_GE(l.x, 0);
        EXPECT_LE(l.x + l.width, 256);
    }
}

MvtFeature street(const std::string& name, const std::vector<MvtPoint>& points)
{
    MvtFeature f;
    f.type = 2;
    f.geometry = Mvt::lines({points});
    f.text = {{"name", name}};
    return f;
}

TEST(VectorRenderer, NamesLinesAlongTheirLongestStraightRunReadingLeftToRight)
{
    // Drawn from east to west, a long straight stretch then a short one
    // turning away: the name lies on the long one, turned to read left
    // to right.
    std::vector<PlacedLabel> labels;
    render({{"road", 4096, {street("High Street", {{3600, 3000}, {600, 1000}, {500, 1900}})}}}, TileView(), &labels);
    ASSERT_EQ(1u, labels.size());
    const PlacedLabel& l = labels[0];
    EXPECT_NEAR(std::atan2(2000.0, 3000.0), l.angle, 1e-9);
    EXPECT_NEAR(2100 / 16.0, l.x + l.width / 2, 0.5);
    EXPECT_NEAR(2000 / 16.0, l.y + l.height / 2, 0.5);

    // The same name on a parallel street nearby, a place over the line,
    // and a lane too short for its name.
    labels.clear();
    render({{"road", 4096,
             {street("Long Road", {{200, 1000}, {3800, 1000}}), street("Long Road", {{200, 1400}, {3800, 1400}}),
              street("Lane With A Long Name", {{1000, 3000}, {1300, 3000}})}},
            {"place", 4096, {place("Town", 2000, 2000, 1), place("Hamlet", 2000, 1000, 1)}}},
           TileView(), &labels);
    ASSERT_EQ(3u, labels.size());
    EXPECT_EQ("Town", labels[0].text);
    EXPECT_EQ("Hamlet", labels[1].text);
    EXPECT_EQ("Long Road", labels[2].text);
    EXPECT_GT(labels[2].y, labels[1].y + labels[1].height); // moved to the street the hamlet leaves free
}

TEST(StraightRun, FindsTheLongestRunWithinTheTolerance)
{
    const StraightRun run = StraightRun::longest({{0, 0}, {10, 1}, {20, 0}, {20, 5}, {20, 40}, {21, 80}, {0, 80}}, 1.5);
    EXPECT_EQ(2u, run.first);
    EXPECT_EQ(5u, run.last);
    EXPECT_EQ(0u, StraightRun::longest({{0, 0}, {10, 0}, {0, 0}}, 1.5).first + StraightRun::longest({{5, 5}}, 1).length);
}

TEST(VectorStyle, SkipsBrokenLayersWithOneMessageEach)
{
    VectorStyle s;
    std::string error;
    EXPECT_FALSE(VectorStyle::parse("{\"layers\": 3}", &s, &error));
    EXPECT_FALSE(VectorStyle::parse("not json", &s, &error));
    // Members of the wrong type are defaults, never a throw out of the parser.
    ASSERT_TRUE(VectorStyle::parse(R"({"name": 5, "layers": [{"id": 7, "type": "fill", "source-layer": [],
        "layout": {"visibility": 0, "line-cap": {}}}]})", &s, &error));
    EXPECT_EQ(1u, s.layers.size());
    s = VectorStyle();
    const char* const text = R"json({"layers": [
        {"id": "a", "type": "fill", "paint": {"fill-color": "#nothex"}},
        {"id": "b", "type": "raster"},
        {"id": "c", "type": "line", "filter": ["~=", "x", 1]},
        {"id": "d", "type": "line", "minzoom": "low"},
        {"id": "e", "type": "symbol", "layout": {"text-field": 5}},
        {"id": "ok", "type": "fill", "filter": ["all", ["in", "class", "a", "b"], ["!has", "x"]],
         "paint": {"fill-color": "hsl(210, 50%, 60%)", "fill-opacity": {"base": 2, "stops": [[0, 0], [10, 1]]}}}
    ]})json";
    ASSERT_TRUE(VectorStyle::parse(text, &s, &error));
    EXPECT_EQ(5u, s.skipped.size());
    ASSERT_EQ(1u, s.layers.size());
    EXPECT_NEAR(0.8, s.layers[0].colour.colour(0).b, 1e-9);
    EXPECT_EQ(1, s.layers[0].opacity.number(12));
    EXPECT_GT(s.layers[0].opacity.number(5), 0);
    EXPECT_LT(s.layers[0].opacity.number(5), 0.5); // exponential, not linear
    const StyleColour light = s.layers[0].colour.colour(0);
    s.darken();
    EXPECT_LT(s.layers[0].colour.colour(0).r + s.layers[0].colour.colour(0).g, light.r + light.g);
}

TEST(VectorStyle, ReadsInterpolateAndStepOfTheZoom)
{
    const char* const text = R"json({"layers": [
        {"id": "lin", "type": "line", "paint": {"line-width": ["interpolate", ["linear"], ["zoom"], 10, 2, 14, 10],
         "line-color": ["interpolate", ["linear"], ["zoom"], 0, "#000000", 10, "#ff0000"]}},
        {"id": "exp", "type": "line", "paint": {"line-width": ["interpolate", ["exponential", 2], ["zoom"], 10, 1, 12, 7],
         "line-color": ["step", ["zoom"], "#000000", 8, "#ffffff"]}},
        {"id": "step", "type": "symbol", "layout": {"text-field": "{name}", "text-size": ["step", ["zoom"], 10, 12, 14, 15, 18]}},
        {"id": "arity", "type": "line", "paint": {"line-width": ["interpolate", ["linear"], ["zoom"], 10]}},
        {"id": "order", "type": "line", "paint": {"line-width": ["step", ["zoom"], 1, 12, 2, 12, 3]}},
        {"id": "kind", "type": "line", "paint": {"line-opacity": ["interpolate", ["ease"], ["zoom"], 1, 0, 2, 1]}},
        {"id": "input", "type": "line", "paint": {"line-width": ["interpolate", ["linear"], ["get", "w"], 1, 0, 2, 1]}},
        {"id": "value", "type": "line", "paint": {"line-width": ["interpolate", ["linear"], ["zoom"], 1, "2", 2, 1]}},
        {"id": "nested", "type": "line", "paint": {"line-color": ["step", ["zoom"], [[[["#fff"]]]], 5, "#000"]}},
        {"id": "base", "type": "line", "paint": {"line-width": ["interpolate", ["exponential", -2], ["zoom"], 1, 0, 2, 1]}},
        {"id": "by-property", "type": "line", "paint": {"line-width": {"property": "w", "stops": [[1, 1], [2, 2]]}}}
    ]})json";
    VectorStyle s;
    std::string error;
    ASSERT_TRUE(VectorStyle::parse(text, &s, &error));
    ASSERT_EQ(3u, s.layers.size());
    EXPECT_EQ(8u, s.skipped.size());
    EXPECT_NE(std::string::npos, s.skipped[0].find("\"arity\": line-width"));
    const StyleLayer &lin = s.layers[0], &exp = s.layers[1], &step = s.layers[2];
    EXPECT_DOUBLE_EQ(2, lin.width.number(3));
    EXPECT_DOUBLE_EQ(6, lin.width.number(12));
    EXPECT_DOUBLE_EQ(10, lin.width.number(20));
    EXPECT_DOUBLE_EQ(0.5, lin.colour.colour(5).r);
    EXPECT_DOUBLE_EQ(0, lin.colour.colour(5).g);
    EXPECT_DOUBLE_EQ(3, exp.width.number(11)); // (2^1 - 1) / (2^2 - 1) of the way
    EXPECT_DOUBLE_EQ(0, exp.colour.colour(7.99).r);
    EXPECT_DOUBLE_EQ(1, exp.colour.colour(8).r);
    EXPECT_DOUBLE_EQ(10, step.textSize.number(11.9));
    EXPECT_DOUBLE_EQ(14, step.textSize.number(12));
    EXPECT_DOUBLE_EQ(14, step.textSize.number(14.9));
    EXPECT_DOUBLE_EQ(18, step.textSize.number(15));
}
