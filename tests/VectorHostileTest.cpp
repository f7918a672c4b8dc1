// Tiles and styles made to hurt the drawing: shapes that corrupted cairo's
// heap, work without end, memory bombs. The heap cases draw in a child
// process so a corrupted heap fails the test instead of ending the run;
// CTest also runs this suite under glibc's heap checks (vector.heap_checks).
// A child leaves by _exit: the statics it shares with the parent are not
// its to destroy.
#include "Gzip.h"
#include "MvtReader.h"
#include "MvtTiles.h"
#include "VectorPainter.h"
#include "VectorRenderer.h"
#include "VectorStyle.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <protozero/pbf_writer.hpp>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const char* const hostileStyle = R"({
  "version": 8, "name": "hostile",
  "layers": [
    {"id": "bg", "type": "background", "paint": {"background-color": "#ffffff"}},
    {"id": "area", "type": "fill", "source-layer": "areas",
     "paint": {"fill-color": "#00ff00", "fill-outline-color": "#000000"}},
    {"id": "line", "type": "line", "source-layer": "lines", "paint": {"line-color": "#000000", "line-width": 1}},
    {"id": "dashed", "type": "line", "source-layer": "dashed",
     "paint": {"line-color": "#000000", "line-width": 1, "line-dasharray": [0.5, 0.5]}},
    {"id": "label", "type": "symbol", "source-layer": "labels",
     "layout": {"text-field": "{name}", "text-size": 10},
     "paint": {"text-color": "#000000", "text-halo-color": "#ffffff", "text-halo-width": 1}}
  ]})";

VectorStyle hostile()
{
    VectorStyle s;
    std::string error;
    EXPECT_TRUE(VectorStyle::parse(hostileStyle, &s, &error)) << error;
    return s;
}

// False when the tile is refused or given up.
bool draw(const std::vector<MvtLayer>& layers, std::vector<PlacedLabel>* labels = nullptr, Bitmap* out = nullptr)
{
    VectorTile tile;
    std::string error;
    if (!MvtReader::read(Mvt::encode(layers), &tile, &error))
        return false;
    Bitmap picture;
    return VectorRenderer::draw(tile, hostile(), TileView(), out ? out : &picture, labels, &error);
}

long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One line feature up and down the tile, `n` vertices.
MvtFeature zigzag(int n)
{
    std::vector<MvtPoint> points;
    for (int i = 0; i < n; ++i)
        points.push_back({static_cast<int>(static_cast<long long>(i) * 4096 / n), i % 2 ? 4000 : 96});
    MvtFeature f;
    f.type = 2;
    f.geometry = Mvt::lines({points});
    return f;
}

MvtFeature label(const std::string& name, int x, int y)
{
    MvtFeature f;
    f.type = 1;
    f.geometry = Mvt::points({{x, y}});
    f.text = {{"name", name}};
    return f;
}

// A row of twenty "W" strokes one pixel wide, 5 pixels tall, a fraction
// of a pixel off the grid: cairo's fastest anti-aliasing wrote past its
// buffers on it.
std::vector<MvtLayer> rowOfWs()
{
    std::vector<MvtFeature> features;
    for (int i = 0; i < 20; ++i) {
        const int x = 123 + i * 88, y = 4; // 16 units a pixel
        MvtFeature w;
        w.type = 2;
        w.geometry = Mvt::lines({{{x, y}, {x + 20, y + 80}, {x + 40, y + 24}, {x + 60, y + 80}, {x + 80, y}}});
        features.push_back(w);
    }
    return {{"lines", 4096, features}};
}

} // namespace

TEST(VectorHostile, ShapesThatCorruptedCairosHeapDrawCleanly)
{
    // Forked, not started again: under an emulator (the armhf and s390x
    // builds) the binary cannot be executed directly.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            draw(rowOfWs());
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            std::vector<MvtFeature> marks;
            std::string accented;
            for (int i = 0; i < 20; ++i)
                accented += "\xe1\xba\x9e\xcc\x80\xcc\x81"; // capital sharp s, grave, acute
            for (int i = 0; i < 50; ++i)
                marks.push_back(label(accented, 40 + i * 80, 100 + i * 79));
            draw({{"labels", 4096, marks}});
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            for (int dx = 0; dx < 16; ++dx)
                for (int dy = 0; dy < 16; ++dy)
                    draw({{"labels", 4096, {label("WWWWWWWWWWWWWW", 2048 + dx, 2048 + dy)}}});
            _exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(VectorHostile, AStyleNamingThousandsOfPropertiesParsesInLinearTime)
{
    // 160 000 distinct fields in one label, then layers naming 100 each:
    // looked up by hash, the label refused for its length, the names
    // past the table's size refused layer by layer.
    std::string text;
    for (int i = 0; i < 160000; ++i)
        text += "{f" + std::to_string(i) + "}";
    std::string json = R"({"layers": [{"id": "long", "type": "symbol", "layout": {"text-field": ")" + text + "\"}}";
    for (int l = 0; l < 50; ++l) {
        std::string filter = R"(["any")";
        for (int i = 0; i < 100; ++i)
            filter += R"(, ["has", "p)" + std::to_string(l * 100 + i) + "\"]";
        json += R"(, {"id": "l)" + std::to_string(l) + R"(", "type": "fill", "filter": )" + filter + "]}";
    }
    json += "]}";
    VectorStyle style;
    std::string error;
    ASSERT_TRUE(VectorStyle::parse(json, &style, &error)) << error;
    EXPECT_EQ(StyleSlots::maxSlots / 100, style.layers.size());
    ASSERT_FALSE(style.skipped.empty());
    EXPECT_NE(std::string::npos, style.skipped[0].find("more than 64 pieces")) << style.skipped[0];
    EXPECT_LE(style.slots.size(), StyleSlots::maxSlots);
}

TEST(VectorHostile, ALabelCairoWouldRefuseIsSkippedAlone)
{
    // A surrogate in CESU-8, an overlong slash and a noncharacter, each
    // placed first: cairo's error state would blank every label after it.
    for (const char* bad : {"Bad \xed\xa0\x80 name", "Bad \xc0\xaf name", "Bad \xef\xbf\xbe name"}) {
        std::vector<PlacedLabel> labels;
        draw({{"labels", 4096, {label(bad, 800, 800), label("North", 2048, 1200), label("South", 2048, 3000)}}},
             &labels);
        ASSERT_EQ(2u, labels.size()) << bad;
        EXPECT_EQ("North", labels[0].text);
        EXPECT_EQ("South", labels[1].text);
    }
}

namespace {

// A layer message of `n` values of 17-byte texts (heap-held when decoded).
std::string valueLayer(std::size_t n, char tag)
{
    std::string out;
    protozero::pbf_writer layer(out);
    layer.add_string(1, std::string("v") + tag);
    const std::string text = std::string(16, tag) + "x";
    for (std::size_t i = 0; i < n; ++i)
        protozero::pbf_writer(layer, 4).add_string(1, text);
    return out;
}

} // namespace

TEST(VectorHostile, EmptyLayerAndValueBombsStayWithinTheirBounds)
{
    // 3 M named empty layers in 22 KB of gzip: the first 256 read.
    std::string layers;
    {
        protozero::pbf_writer tile(layers);
        for (int i = 0; i < 3000000; ++i)
            protozero::pbf_writer(tile, 3).add_string(1, "a");
    }
    VectorTile tile;
    std::string error;
    ASSERT_TRUE(MvtReader::read(Gzip::deflate(layers), &tile, &error)) << error;
    EXPECT_EQ(MvtReader::maxLayers, tile.layers.size());
    ASSERT_EQ(1u, tile.skipped.size());
    EXPECT_EQ("2999744 layers past the first 256 skipped", tile.skipped[0]);

    // 14 MB of short texts would take about 60 MB decoded: refused.
    std::string values;
    protozero::pbf_writer(values).add_message(3, valueLayer(700000, 'a'));
    VectorTile big;
    EXPECT_FALSE(MvtReader::read(Gzip::deflate(values), &big, &error));
    EXPECT_NE(std::string::npos, error.find("decoded")) << error;
    EXPECT_TRUE(big.layers.empty());

    // Nine tiles of about 20 MB decoded each, drawn one after another: the
    // painter keeps no more than its bytes allow. The peak is measured in
    // a process of its own.
    EXPECT_EXIT(
        {
            VectorPainter painter;
            const long before = peakResidentKb();
            for (char c = 'a'; c < 'j'; ++c) {
                std::string bytes;
                protozero::pbf_writer(bytes).add_message(3, valueLayer(230000, c));
                Bitmap picture;
                std::string why;
                TileView view;
                view.size = 16;
                if (!painter.paint(std::string(1, c), Gzip::deflate(bytes), "", false, view, &picture, &why))
                    _exit(2);
            }
            const long grown = (peakResidentKb() - before) >> 10;
            std::fprintf(stderr, "grew by %ld MB\n", grown);
#ifdef __SANITIZE_ADDRESS__
            _exit(0); // the sanitizer's own memory would be counted
#else
            _exit(grown < 100 ? 0 : 1);
#endif
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(VectorHostile, DrawingWorkIsBoundedPerTile)
{
    // 300 000 vertices up and down the tile, and a star of 20 000 spikes
    // crossing at its centre, outlined: given up before cairo is asked.
    EXPECT_FALSE(draw({{"lines", 4096, {zigzag(300000)}}}));
    std::vector<MvtPoint> star;
    const int spikes = 20000;
    for (int i = 0; i < spikes; ++i) {
        const double a = 2 * M_PI * i * (spikes / 2 - 1) / spikes;
        star.push_back({2048 + static_cast<int>(2000 * std::cos(a)), 2048 + static_cast<int>(2000 * std::sin(a))});
    }
    MvtFeature area = Mvt::polygon({star});
    EXPECT_FALSE(draw({{"areas", 4096, {area}}}));

    // Dense points along a line collapse to the pixel grid: 200 000
    // vertices a sixteenth of a pixel apart draw as the line they make.
    std::vector<MvtPoint> dense;
    for (int i = 0; i < 200000; ++i)
        dense.push_back({i % 4096, 2048 + (i / 4096) % 2});
    MvtFeature line;
    line.type = 2;
    line.geometry = Mvt::lines({dense});
    Bitmap picture;
    EXPECT_TRUE(draw({{"lines", 4096, {line}}}, nullptr, &picture));
    EXPECT_NE(0xffff, picture.rgb[128 * 256 + 100]);

    // Half-pixel dashes along 2 000 strokes across the tile would be a
    // million dashes; they are drawn longer, in a bounded memory.
    EXPECT_EXIT(
        {
            const long before = peakResidentKb();
            if (!draw({{"dashed", 4096, {zigzag(2000)}}}))
                _exit(2);
            const long grown = (peakResidentKb() - before) >> 10;
            std::fprintf(stderr, "grew by %ld MB\n", grown);
#ifdef __SANITIZE_ADDRESS__
            _exit(0); // the sanitizer's own memory would be counted
#else
            _exit(grown < 100 ? 0 : 1);
#endif
        },
        ::testing::ExitedWithCode(0), "");
}
