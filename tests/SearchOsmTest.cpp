// Indexes made from a real OpenStreetMap extract, and extracts that are not.
#include "Folding.h"
#include "IndexBlock.h"
#include "IndexWriter.h"
#include "OsmSource.h"
#include "SearchIndex.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <osmium/builder/attr.hpp>
#include <osmium/io/pbf_output.hpp>
#include <osmium/io/writer.hpp>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool indexOsm(const std::string& source, const std::string& output, std::string* why)
{
    IndexWriter writer(output);
    if (!writer.open(why))
        return false;
    OsmSource osm(&writer, ".");
    return osm.readFile(source, why) && writer.finish(why);
}

// Every entry of an index, read straight from its blocks.
struct Stored {
    std::vector<std::string> names;
    double lat, lon;
};

std::vector<Stored> allItems(const std::string& path)
{
    std::vector<Stored> items;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT data FROM blocks ORDER BY id", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        IndexBlock block;
        std::string why;
        EXPECT_TRUE(block.decode(std::string(static_cast<const char*>(sqlite3_column_blob(st, 0)),
                                             static_cast<std::size_t>(sqlite3_column_bytes(st, 0))),
                                 &why));
        for (const IndexBlock::Item& item : block.items) {
            Stored s{{}, item.lat / 1e6, item.lon / 1e6};
            for (std::uint32_t i = 0; i < item.names; ++i)
                s.names.push_back(block.name(item, i));
            items.push_back(s);
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return items;
}

class Andorra : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!fileExists(sharedFixture("andorra.osm.pbf")))
            return;
        // One per process: CTest runs each test in a process of its own, side by side.
        path = new std::string(std::string(TESSEL_BUILD_DIR) + "/andorra-test-" + std::to_string(getpid()) + ".search");
        std::string why;
        ASSERT_TRUE(indexOsm(sharedFixture("andorra.osm.pbf"), *path, &why)) << why;
    }
    static void TearDownTestSuite()
    {
        if (path)
            unlink(path->c_str());
        delete path;
        path = nullptr;
    }
    void SetUp() override
    {
        if (!path)
            GTEST_SKIP() << "no fixtures beside the project (../shared/fixtures/andorra.osm.pbf)";
        std::string why;
        index = SearchIndex::open(*path, &why);
        ASSERT_TRUE(index) << why;
    }
    // The first result of a query near Andorra la Vella.
    SearchResult first(const std::string& query, const std::string& kind)
    {
        std::vector<SearchResult> out;
        std::string why;
        EXPECT_TRUE(index->search(query, 42.5063, 1.5218, 50, &out, &why)) << why;
        for (const SearchResult& r : out)
            if (r.kind == kind)
                return r;
        ADD_FAILURE() << "no " << kind << " for '" << query << "'";
        return SearchResult();
    }

    static std::string* path;
    std::unique_ptr<SearchIndex> index;
};

std::string* Andorra::path = nullptr;

} // namespace

TEST_F(Andorra, FindsTownsWithAndWithoutDiacritics)
{
    for (const char* query : {"Sant Julià de Lòria", "sant julia de loria", "SANT JUL"})
        EXPECT_EQ(first(query, "town").name, "Sant Julià de Lòria") << query;
    for (const char* town : {"Andorra la Vella", "Encamp", "Canillo", "La Massana", "Les Escaldes"})
        EXPECT_EQ(first(town, "town").name, town);
    EXPECT_EQ(first("ordino", "town").name, "Ordino");
    EXPECT_EQ(first("arinsal", "village").name, "Arinsal");
    EXPECT_NEAR(first("andorra la vella", "town").lat, 42.507, 0.01);
}

TEST_F(Andorra, FindsStreetsOncePerPlaceAndAddresses)
{
    const SearchResult street = first("carrer doctor nequi", "street");
    EXPECT_EQ(street.name, "Carrer Doctor Nequí");
    EXPECT_EQ(street.place, "Andorra la Vella");
    std::vector<SearchResult> out;
    std::string why;
    ASSERT_TRUE(index->search("Carrer Doctor Nequí", 42.5063, 1.5218, 50, &out, &why));
    std::size_t streets = 0;
    for (const SearchResult& r : out)
        streets += r.kind == "street" && r.name == "Carrer Doctor Nequí" && r.place == "Andorra la Vella";
    EXPECT_EQ(streets, 1u);
    const SearchResult address = first("avinguda meritxell 5", "address");
    EXPECT_EQ(address.name, "Avinguda Meritxell 5");
    EXPECT_EQ(address.place, "Andorra la Vella");
}

TEST_F(Andorra, EveryNameIsReachable)
{
    const std::vector<Stored> items = allItems(*path);
    ASSERT_GT(items.size(), 1000u);
    std::size_t missing = 0;
    for (const Stored& item : items)
        for (const std::string& name : item.names) {
            std::vector<SearchResult> out;
            std::string why;
            ASSERT_TRUE(index->search(name, item.lat, item.lon, 1000, &out, &why)) << why;
            bool found = false;
            for (const SearchResult& r : out)
                found = found || (r.name == item.names.front() && r.distance < 1);
            missing += !found;
            EXPECT_TRUE(found) << name;
        }
    EXPECT_EQ(missing, 0u);
}

TEST(OsmSource, WhatIsNotAnExtractIsRefused)
{
    TempDir dir;
    const std::string pbf = sharedFixture("andorra.osm.pbf");
    writeFile(dir.path("text.osm.pbf"), "this is not a PBF file at all, just some text\n");
    writeFile(dir.path("empty.osm.pbf"), "");
    mkdir(dir.path("folder.osm.pbf").c_str(), 0755);
    std::vector<std::string> bad = {"text.osm.pbf", "empty.osm.pbf", "folder.osm.pbf", "missing.osm.pbf"};
    if (fileExists(pbf)) {
        const std::string bytes = readFile(pbf);
        writeFile(dir.path("cut.osm.pbf"), bytes.substr(0, bytes.size() / 2));
        writeFile(dir.path("cut-early.osm.pbf"), bytes.substr(0, 100));
        bad.push_back("cut.osm.pbf");
        bad.push_back("cut-early.osm.pbf");
    }
    for (const std::string& name : bad) {
        std::string why;
        EXPECT_FALSE(indexOsm(dir.path(name), dir.path("out.search"), &why)) << name;
        EXPECT_FALSE(why.empty()) << name;
    }
    // Scratch files are gone; only the outputs stay.
    for (const std::string& f : dir.files())
        EXPECT_EQ(f.find("scratch"), std::string::npos) << f;
}

// A park drawn as a multipolygon relation over an untagged way is found
// where its way stands, in the town around it.
TEST(OsmSource, NamedAreasOfRelationsAreFound)
{
    using namespace osmium::builder::attr;
    TempDir dir;
    {
        osmium::memory::Buffer buffer{4096, osmium::memory::Buffer::auto_grow::yes};
        osmium::builder::add_node(buffer, _id(1), _location(osmium::Location{1.52, 42.50}), _tag("place", "town"),
                                  _tag("name", "Vila"));
        const double corners[][2] = {{1.521, 42.501}, {1.523, 42.501}, {1.523, 42.503}, {1.521, 42.503}};
        for (int i = 0; i < 4; ++i)
            osmium::builder::add_node(buffer, _id(2 + i), _location(osmium::Location{corners[i][0], corners[i][1]}));
        osmium::builder::add_way(buffer, _id(10), _nodes({2, 3, 4, 5, 2}));
        osmium::builder::add_relation(buffer, _id(20), _member(osmium::item_type::way, 10, "outer"),
                                      _tag("type", "multipolygon"), _tag("leisure", "park"), _tag("name", "Parc Central"));
        osmium::builder::add_relation(buffer, _id(21), _member(osmium::item_type::way, 10, ""), _tag("type", "route"),
                                      _tag("name", "Ruta Circular"));
        osmium::io::Writer writer{dir.path("area.osm.pbf"), osmium::io::Header{}, osmium::io::overwrite::allow};
        writer(std::move(buffer));
        writer.close();
    }
    std::string why;
    ASSERT_TRUE(indexOsm(dir.path("area.osm.pbf"), dir.path("area.search"), &why)) << why;
    std::unique_ptr<SearchIndex> index = SearchIndex::open(dir.path("area.search"), &why);
    ASSERT_TRUE(index) << why;
    std::vector<SearchResult> found;
    ASSERT_TRUE(index->search("parc central", 42.5, 1.52, 5, &found, &why)) << why;
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].place, "Vila");
    EXPECT_NEAR(found[0].lat, 42.503, 1e-6) << "the middle node of its way";
    EXPECT_NEAR(found[0].lon, 1.523, 1e-6);
    ASSERT_TRUE(index->search("ruta", 42.5, 1.52, 5, &found, &why)) << why;
    EXPECT_TRUE(found.empty()) << "a route is no area";
}
