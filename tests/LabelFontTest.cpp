#include "FontChain.h"
#include "LabelLanguage.h"
#include "MvtReader.h"
#include "MvtTiles.h"
#include "VectorRenderer.h"
#include "VectorStyle.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const char* const namesStyle = R"({
  "version": 8, "name": "names",
  "layers": [
    {"id": "place", "type": "symbol", "source-layer": "place",
     "layout": {"text-field": ["coalesce", ["get", "name"], ["get", "name:latin"], ["get", "name_en"]],
                "text-size": 12},
     "paint": {"text-color": "#000000"}}
  ]})";

const std::string bangkokThai = "\xe0\xb8\x81\xe0\xb8\xa3\xe0\xb8\xb8\xe0\xb8\x87\xe0\xb9\x80\xe0\xb8\x97\xe0\xb8\x9e";
const std::string privateUse = "\xee\x80\x80\xee\x80\x81"; // U+E000 U+E001: no font has them

// The text of the one label drawn for a place with these names.
std::string labelOf(const std::vector<std::pair<std::string, std::string>>& names)
{
    VectorStyle style;
    std::string error;
    EXPECT_TRUE(VectorStyle::parse(namesStyle, &style, &error)) << error;
    MvtFeature f;
    f.type = 1;
    f.geometry = Mvt::points({{2048, 2048}});
    f.text = names;
    VectorTile tile;
    EXPECT_TRUE(MvtReader::read(Mvt::encode({{"place", 4096, {f}}}), &tile, &error)) << error;
    Bitmap picture;
    std::vector<PlacedLabel> labels;
    VectorRenderer::draw(tile, style, TileView(), &picture, &labels);
    return labels.size() == 1 ? labels[0].text : "(" + std::to_string(labels.size()) + " labels)";
}

// Whether cairo finds a glyph (not the box of glyph 0) for every character.
bool hasGlyphs(cairo_font_face_t* face, const std::string& text)
{
    cairo_matrix_t size, identity;
    cairo_matrix_init_scale(&size, 12, 12);
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_scaled_font_t* font = cairo_scaled_font_create(face, &size, &identity, options);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    bool all = cairo_scaled_font_text_to_glyphs(font, 0, 0, text.c_str(), -1, &glyphs, &count, nullptr, nullptr,
                                                nullptr) == CAIRO_STATUS_SUCCESS && count > 0;
    for (int i = 0; all && i < count; ++i)
        all = glyphs[i].index != 0;
    cairo_glyph_free(glyphs);
    cairo_scaled_font_destroy(font);
    cairo_font_options_destroy(options);
    return all;
}

} // namespace

TEST(LabelFonts, ThaiIsDrawnWithGlyphsOfAFallbackFont)
{
    FontChain& fonts = FontChain::forThisThread();
    if (!fonts.covers(bangkokThai))
        GTEST_SKIP() << "no installed font has Thai (scripts/setup.sh installs fonts-noto-core)";
    EXPECT_FALSE(hasGlyphs(fonts.face(0, false), bangkokThai)); // the main font draws boxes
    std::vector<FontChain::Run> runs;
    const std::string mixed = "Wat " + bangkokThai + " 2";
    ASSERT_TRUE(fonts.runs(mixed, &runs));
    ASSERT_GE(runs.size(), 2u);
    EXPECT_EQ(0, runs[0].font);
    EXPECT_EQ(4u, runs[1].begin);
    EXPECT_EQ(mixed.size(), runs.back().end);
    EXPECT_NE(0, runs[1].font);
    const std::string thaiRun = mixed.substr(runs[1].begin, runs[1].end - runs[1].begin);
    for (bool bold : {false, true})
        EXPECT_TRUE(hasGlyphs(fonts.face(runs[1].font, bold), thaiRun));
    EXPECT_EQ(bangkokThai, labelOf({{"name", bangkokThai}, {"name_en", "Bangkok"}}));
}

// A name no font can draw gives way to the next one; the choice of
// language puts its names first, and falls back to the local name.
TEST(LabelFonts, TheChosenLanguageAndDrawableNamesComeFirst)
{
    EXPECT_FALSE(FontChain::forThisThread().covers(privateUse));
    EXPECT_EQ("Bangkok", labelOf({{"name", privateUse}, {"name_en", "Bangkok"}}));
    EXPECT_EQ(privateUse, labelOf({{"name", privateUse}})); // nothing better: drawn as it is
    const std::vector<std::pair<std::string, std::string>> praha{
        {"name", "Praha"}, {"name:latin", "Praha!"}, {"name_en", "Prague"}};
    EXPECT_EQ("Praha", labelOf(praha));
    LabelLanguage::choose(LabelLanguage::english);
    EXPECT_EQ("Prague", labelOf(praha));
    EXPECT_EQ("Praha", labelOf({{"name", "Praha"}}));
    LabelLanguage::choose(LabelLanguage::latin);
    EXPECT_EQ("Praha!", labelOf(praha));
    EXPECT_EQ("Prague", labelOf({{"name", "Praha"}, {"name_en", "Prague"}}));
    LabelLanguage::choose(LabelLanguage::local);
}

namespace {

MvtFeature namedPoint(int x, int y, std::vector<std::pair<std::string, std::string>> tags)
{
    MvtFeature f;
    f.type = 1;
    f.geometry = Mvt::points({{x, y}});
    f.text = std::move(tags);
    return f;
}

// How far the label's box holds a pixel from the colour (0xrrggbb), in
// 8-bit steps of the farthest channel.
int distanceTo(const Bitmap& b, const PlacedLabel& l, std::uint32_t colour)
{
    int best = 255;
    for (int y = static_cast<int>(l.y); y < static_cast<int>(l.y + l.height); ++y)
        for (int x = static_cast<int>(l.x); x < static_cast<int>(l.x + l.width); ++x) {
            const std::uint16_t p = b.rgb[static_cast<std::size_t>(y) * b.size + x];
            const int r = (p >> 11) << 3, g = ((p >> 5) & 63) << 2, bl = (p & 31) << 3;
            const int d = std::max({std::abs(r - static_cast<int>(colour >> 16)),
                                    std::abs(g - static_cast<int>((colour >> 8) & 255)),
                                    std::abs(bl - static_cast<int>(colour & 255))});
            best = std::min(best, d);
        }
    return best;
}

} // namespace

// The style for archives of no known schema: a shop or a café is small and
// in its class's colour, a district or a town larger and dark.
TEST(GenericStyle, PointsOfInterestAreSmallAndColouredByClass)
{
    VectorStyle style;
    std::string error;
    ASSERT_TRUE(VectorStyle::load(std::string(TESSEL_SOURCE_DIR) + "/media/styles/generic.json", &style, &error));
    VectorTile tile;
    ASSERT_TRUE(MvtReader::read(Mvt::encode({{"osm", 4096,
                                              {namedPoint(1000, 1000, {{"name", "Kiosk"}, {"shop", "kiosk"}}),
                                               namedPoint(1000, 3000, {{"name", "Kiosk"}, {"amenity", "cafe"}}),
                                               namedPoint(3000, 1000, {{"name", "Kiosk"}, {"place", "suburb"}}),
                                               namedPoint(3000, 3000, {{"name", "Kiosk"}, {"place", "town"}})}}}),
                                &tile, &error))
        << error;
    TileView view;
    view.zoom = 16;
    Bitmap b;
    std::vector<PlacedLabel> labels;
    VectorRenderer::draw(tile, style, view, &b, &labels);
    ASSERT_EQ(4u, labels.size());
    auto at = [&](double x, double y) {
        for (const PlacedLabel& l : labels)
            if (std::abs(l.x + l.width / 2 - x) < 4 && std::abs(l.y + l.height / 2 - y) < 4)
                return l;
        ADD_FAILURE() << "no label at " << x << ", " << y;
        return PlacedLabel{};
    };
    const PlacedLabel shop = at(62.5, 62.5), cafe = at(62.5, 187.5), suburb = at(187.5, 62.5), town = at(187.5, 187.5);
    EXPECT_LT(shop.height, suburb.height);
    EXPECT_LT(suburb.width, town.width);
    EXPECT_LT(distanceTo(b, shop, 0xa3329a), 24);
    EXPECT_LT(distanceTo(b, cafe, 0x8f4e0a), 24);
    EXPECT_GT(distanceTo(b, shop, 0x8f4e0a), 48);
    EXPECT_GT(distanceTo(b, suburb, 0xa3329a), 48);
}
