// A search index made from the labels of a vector archive.
#include "Archives.h"
#include "IndexWriter.h"
#include "LabelSource.h"
#include "MvtTiles.h"
#include "SearchIndex.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

MvtFeature labelled(int type, const std::vector<std::pair<std::string, std::string>>& text,
                    const std::vector<MvtPoint>& points)
{
    MvtFeature f;
    f.type = type;
    f.text = text;
    f.geometry = type == 1 ? Mvt::points(points) : Mvt::lines({points});
    return f;
}

std::vector<SearchResult> find(SearchIndex& index, const std::string& query)
{
    std::vector<SearchResult> found;
    std::string why;
    EXPECT_TRUE(index.search(query, 47.4, 8.5, 20, &found, &why)) << why;
    return found;
}

} // namespace

// Two neighbouring tiles: each repeats what lies just past its edge, a
// street runs across both; house numbers and unnamed things are no labels.
TEST(LabelSource, PlacesPointsOfInterestAndStreetsOnceEach)
{
    TempDir dir;
    const int z = 14, x = 8580, y = 5730;
    const std::string a = Mvt::encode({
        {"place", 4096, {labelled(1, {{"name", "Zürichberg"}, {"name:en", "Zurich Hill"}, {"class", "town"}}, {{2048, 2048}}),
                         labelled(1, {{"name", "Nachbarort"}, {"class", "village"}}, {{7096, 3500}})}},
        {"poi", 4096, {labelled(1, {{"name", "Café Plzeň"}, {"class", "cafe"}}, {{2100, 2100}})}},
        {"housenumber", 4096, {labelled(1, {{"housenumber", "12"}, {"name", "12"}}, {{100, 100}})}},
        {"transportation_name", 4096, {labelled(2, {{"name", "Hauptstraße"}}, {{2500, 1000}, {3500, 1000}, {4200, 1000}})}},
    });
    const std::string b = Mvt::encode({
        {"place", 4096, {labelled(1, {{"name", "Nachbarort"}, {"class", "village"}}, {{3000, 3500}})}},
        {"transportation_name", 4096, {labelled(2, {{"name", "Hauptstraße"}}, {{-100, 1000}, {300, 1000}, {600, 1000}})}},
    });
    const int row = (1 << z) - 1 - y;
    writeMBTiles("labels.mbtiles", {{z, x, row, a}, {z, x + 1, row, b}}, {{"name", "Labels"}, {"format", "pbf"}});

    IndexWriter writer("labels.search");
    std::string why;
    ASSERT_TRUE(writer.open(&why)) << why;
    LabelSource labels(&writer);
    ASSERT_TRUE(labels.readFile("labels.mbtiles", &why)) << why;
    ASSERT_TRUE(writer.finish(&why)) << why;
    EXPECT_EQ(labels.places, 2u);
    EXPECT_EQ(labels.pois, 1u);

    std::unique_ptr<SearchIndex> index = SearchIndex::open("labels.search", &why);
    ASSERT_TRUE(index) << why;
    const std::vector<SearchResult> town = find(*index, "zurich");
    ASSERT_EQ(town.size(), 1u);
    EXPECT_EQ(town[0].name, "Zürichberg");
    EXPECT_EQ(town[0].kind, "town");
    EXPECT_EQ(find(*index, "zurich hill").size(), 1u);
    EXPECT_EQ(find(*index, "nachbarort").size(), 1u);
    const std::vector<SearchResult> cafe = find(*index, "cafe plzen");
    ASSERT_EQ(cafe.size(), 1u);
    EXPECT_EQ(cafe[0].place, "Zürichberg");
    EXPECT_EQ(find(*index, "hauptstrasse").size(), 1u) << "one street of its two pieces";
    EXPECT_TRUE(find(*index, "12").empty());
}

TEST(LabelSource, PictureArchivesHaveNoLabels)
{
    TempDir dir;
    writeMBTiles("pictures.mbtiles", {{0, 0, 0, std::string("\x89PNG", 4)}});
    IndexWriter writer("pictures.search");
    std::string why;
    ASSERT_TRUE(writer.open(&why)) << why;
    LabelSource labels(&writer);
    EXPECT_FALSE(labels.readFile("pictures.mbtiles", &why));
    EXPECT_FALSE(why.empty());
}
