// The search room: folding, coordinates, and indexes built here and read
// back, against a plain scan of every entry.
#include "Coordinates.h"
#include "Folding.h"
#include "Geodesy.h"
#include "IndexWriter.h"
#include "SearchIndex.h"
#include "SearchWorker.h"
#include "Waypoints.h"
#include "TestSupport.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {

using Words = std::vector<std::string>;

SearchEntry entry(const std::string& kind, Words names, double lat, double lon, const std::string& place = "")
{
    SearchEntry e;
    e.kind = kind;
    e.names = std::move(names);
    e.lat = lat;
    e.lon = lon;
    e.place = place;
    return e;
}

std::string build(const std::string& path, const std::vector<SearchEntry>& entries,
                  const std::vector<SearchEntry>& streets = {}, std::size_t blockSize = 128)
{
    IndexWriter writer(path);
    writer.blockSize = blockSize;
    std::string why;
    EXPECT_TRUE(writer.open(&why)) << why;
    for (const SearchEntry& e : entries)
        writer.add(e);
    for (const SearchEntry& e : streets)
        writer.addStreet(e);
    EXPECT_TRUE(writer.finish(&why)) << why;
    return path;
}

std::vector<SearchResult> find(SearchIndex& index, const std::string& query, double lat = 50, double lon = 14,
                               std::size_t limit = 20)
{
    std::vector<SearchResult> out;
    std::string why;
    EXPECT_TRUE(index.search(query, lat, lon, limit, &out, &why)) << why;
    return out;
}

Words names(const std::vector<SearchResult>& results)
{
    Words out;
    for (const SearchResult& r : results)
        out.push_back(r.name);
    return out;
}

void execute(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

} // namespace

TEST(Folding, CaseAndDiacriticsAndLettersWithoutDecomposition)
{
    EXPECT_EQ(Folding::fold("Zürich"), "zurich");
    EXPECT_EQ(Folding::fold("Plzeň"), "plzen");
    EXPECT_EQ(Folding::fold("Straße"), "strasse");
    EXPECT_EQ(Folding::fold("ŁÓDŹ"), "lodz");
    EXPECT_EQ(Folding::fold("Øresund Ærø"), "oresund aero");
    EXPECT_EQ(Folding::fold("e\xCC\x81" "cole"), "ecole");  // a combining accent
    EXPECT_EQ(Folding::fold("Ｔｏｋｙｏ"), "tokyo");      // full-width letters
    EXPECT_EQ(Folding::words("Saint-Julià de Lòria"), (Words{"saint", "julia", "de", "loria"}));
    EXPECT_EQ(Folding::words("  ..;!? "), Words{});
    EXPECT_EQ(Folding::words("תל אביב"), (Words{"תל", "אביב"}));  // right to left: words all the same
    EXPECT_EQ(Folding::words("a\x01" "b\xFF\xFE" "c"), (Words{"abc"}));  // control and invalid bytes dropped
}

TEST(Folding, LongTextsAreBounded)
{
    const Words words = Folding::words(std::string(10000, 'x') + " " + std::string(30000, 'y'));
    ASSERT_EQ(words.size(), 1u);  // the text is read to its first maxTextBytes
    EXPECT_EQ(words[0].size(), Folding::maxWordBytes);
    std::string many;
    for (int i = 0; i < 500; ++i)
        many += "w ";
    EXPECT_EQ(Folding::words(many).size(), Folding::maxWords);
    EXPECT_EQ(Folding::clean("ab\xC5\x88", 3), "ab");  // not cut inside a character
    EXPECT_EQ(Folding::firstCharacters("plzeň", 5), "plzeň");
    EXPECT_EQ(Folding::firstCharacters("ňab", 1), "ň");
}

TEST(Coordinates, FourFormsGiveThePoint)
{
    for (const char* text : {"50.0875, 14.4213", "50.0875 14.4213", "50°05'15\"N 14°25'17\"E", "50° 5′ 15″ N, 14° 25′ 17″ E",
                             "N 50 05.250 E 14 25.283", "n50 05.25 e14 25.283", "geo:50.0875,14.4213",
                             "geo:50.0875,14.4213,250;u=30", "E 14 25.283 N 50 05.250"}) {
        double lat = 0, lon = 0;
        std::string why;
        ASSERT_TRUE(Coordinates::parse(text, &lat, &lon, &why)) << text << ": " << why;
        EXPECT_NEAR(lat, 50.0875, 1e-4) << text;
        EXPECT_NEAR(lon, 14.4213, 1e-4) << text;
        EXPECT_TRUE(Coordinates::looksLike(text)) << text;
    }
    double lat = 0, lon = 0;
    std::string why;
    ASSERT_TRUE(Coordinates::parse("33°55'S 18°25'W", &lat, &lon, &why));
    EXPECT_NEAR(lat, -33.9167, 1e-4);
    EXPECT_NEAR(lon, -18.4167, 1e-4);
    ASSERT_TRUE(Coordinates::parse("-33.9, -18.4", &lat, &lon, &why));
    EXPECT_DOUBLE_EQ(lat, -33.9);
}

TEST(Coordinates, BadEntriesSayWhatWasExpected)
{
    double lat = 7, lon = 7;
    std::string why;
    for (const char* text : {"", "50.0875", "91, 14", "50, 181", "N 50 E", "50 61 00 N 14 E", "N 50 S 14",
                             "50.5 30 N 14 E", "-50 N 14 E", "geo:", "geo:50,abc", "1 2 3 4 5 6 7", "50°05'15\"N"}) {
        EXPECT_FALSE(Coordinates::parse(text, &lat, &lon, &why)) << text;
        EXPECT_NE(why.find("expected"), std::string::npos) << text;
        EXPECT_EQ(lat, 7);
    }
    Coordinates::parse("91, 14", &lat, &lon, &why);
    EXPECT_NE(why.find("from -90 to 90"), std::string::npos) << why;
    EXPECT_FALSE(Coordinates::looksLike("Sant Julià"));
    EXPECT_FALSE(Coordinates::looksLike("1. máje"));
    EXPECT_FALSE(Coordinates::looksLike("..."));
    EXPECT_TRUE(Coordinates::looksLike("12"));
}

TEST(SearchIndex, FindsByThePrefixOfEveryWordNearestFirst)
{
    TempDir dir;
    SearchEntry near = entry("restaurant", {"Zur Post"}, 50.001, 14.0, "Plzeň");
    SearchEntry far = entry("restaurant", {"Gasthof zur Post"}, 50.5, 14.0, "Zürich");
    SearchEntry town = entry("town", {"Zürich", "Zurigo"}, 47.37, 8.54);
    std::vector<SearchEntry> streets = {entry("street", {"Hauptstraße"}, 47.3701, 8.5401, "Zürich"),
                                        entry("street", {"Hauptstraße"}, 47.3703, 8.5403, "Zürich"),
                                        entry("street", {"Hauptstraße", "Main Street"}, 47.3705, 8.5405, "Zürich"),
                                        entry("street", {"Hauptstraße"}, 50.0, 14.0, "Plzeň")};
    std::string why;
    auto index = SearchIndex::open(build(dir.path("a.search"), {near, far, town}, streets), &why);
    ASSERT_TRUE(index) << why;
    EXPECT_EQ(names(find(*index, "post")), (Words{"Zur Post", "Gasthof zur Post"}));
    EXPECT_EQ(names(find(*index, "PO zu")), (Words{"Zur Post", "Gasthof zur Post"}));
    EXPECT_EQ(names(find(*index, "post", 50.6, 14.0)), (Words{"Gasthof zur Post", "Zur Post"}));
    EXPECT_EQ(names(find(*index, "zurich")), (Words{"Zürich"}));  // not every street in it
    const std::vector<SearchResult> zurigo = find(*index, "zurigo");
    ASSERT_EQ(zurigo.size(), 1u);
    EXPECT_EQ(zurigo[0].matched, "Zurigo");
    // One street per place, under all its names; a place word narrows it.
    EXPECT_EQ(find(*index, "hauptstrasse").size(), 2u);
    const std::vector<SearchResult> inZurich = find(*index, "hauptstr zurich");
    ASSERT_EQ(inZurich.size(), 1u);
    EXPECT_EQ(inZurich[0].place, "Zürich");
    EXPECT_NEAR(inZurich[0].lat, 47.3703, 1e-6);  // the piece nearest the middle
    EXPECT_EQ(find(*index, "main street").size(), 1u);
    EXPECT_EQ(names(find(*index, "zurich post")), Words{"Gasthof zur Post"});
    // Distance and direction.
    EXPECT_NEAR(find(*index, "zur post")[0].distance, 111, 2);
    EXPECT_NEAR(find(*index, "zur post")[0].bearing, 0, 1);
    for (const char* nothing : {"", "   ", "!?.", "postx", "plzen gasthof"})
        EXPECT_TRUE(find(*index, nothing).empty()) << nothing;
}

TEST(SearchIndex, NearestMatchesAreThoseOfAPlainScan)
{
    // Random names in random places over a small area in small blocks:
    // every answer must be what a scan of all entries gives.
    std::mt19937 random(7);
    const Words parts = {"an", "and", "ando", "bel", "berg", "ca", "car", "carr", "dom", "e", "ost", "strasse"};
    const Words places = {"", "", "Belmont", "Ostrov", "Carrara"};
    std::vector<SearchEntry> entries;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = parts[random() % parts.size()] + " " + parts[random() % parts.size()] + " " +
                                 std::to_string(i);
        entries.push_back(entry("poi", {name}, 49.5 + (random() % 100000) / 1e5, 13.5 + (random() % 100000) / 1e5,
                                places[random() % places.size()]));
    }
    TempDir dir;
    std::string why;
    auto index = SearchIndex::open(build(dir.path("r.search"), entries, {}, 16), &why);
    ASSERT_TRUE(index) << why;
    const auto starts = [](const Words& words, const std::string& start) {
        return std::any_of(words.begin(), words.end(), [&](const std::string& x) { return x.compare(0, start.size(), start) == 0; });
    };
    for (const char* query : {"a", "an", "ando", "car", "carr str", "e", "ost be", "strasse 12", "x", "belm dom", "ostrov"}) {
        for (int trial = 0; trial < 4; ++trial) {
            const double lat = 49.5 + trial * 0.3, lon = 13.5 + trial * 0.25;
            std::vector<std::pair<double, std::string>> expected;
            const Words q = Folding::words(query);
            for (const SearchEntry& e : entries) {
                // Every word in the name or the place, one at least in the name.
                const Words w = Folding::words(e.names[0]), p = Folding::words(e.place);
                bool all = true, named = false;
                for (const std::string& qw : q) {
                    named = named || starts(w, qw);
                    all = all && (starts(w, qw) || starts(p, qw));
                }
                if (all && named)
                    expected.emplace_back(std::round(Geodesy::distance(lat, lon, std::lround(e.lat * 1e6) / 1e6,
                                                                       std::lround(e.lon * 1e6) / 1e6) * 1000) / 1000,
                                          e.names[0]);
            }
            std::sort(expected.begin(), expected.end());
            const std::vector<SearchResult> got = find(*index, query, lat, lon, 20);
            ASSERT_EQ(got.size(), std::min<std::size_t>(20, expected.size())) << query;
            std::vector<double> gotDistances, wantDistances;
            for (std::size_t i = 0; i < got.size(); ++i) {
                gotDistances.push_back(got[i].distance);
                wantDistances.push_back(expected[i].first);
            }
            std::sort(gotDistances.begin(), gotDistances.end());
            for (std::size_t i = 0; i < got.size(); ++i)
                EXPECT_NEAR(gotDistances[i], wantDistances[i], 0.01) << query << " #" << i;
            EXPECT_FALSE(index->cut);
        }
    }
}

TEST(SearchIndex, HostileNamesAreKeptSafe)
{
    TempDir dir;
    const std::string huge(10000, 'n');
    std::vector<SearchEntry> entries = {entry("poi", {huge}, 10, 10), entry("poi", {"a\x01\x02" "b\xFF"}, 10, 10),
                                        entry("poi", {"\xD7\xAA\xD7\x9C \xD7\x90\xD7\x91\xD7\x99\xD7\x91"}, 10, 10),
                                        entry("poi", {"...", ""}, 10, 10), entry("poi", {"Far"}, 95, 10)};
    std::string why;
    auto index = SearchIndex::open(build(dir.path("h.search"), entries), &why);
    ASSERT_TRUE(index) << why;
    EXPECT_EQ(index->entries, 3u);  // no name left, or off the Earth: left out
    const std::vector<SearchResult> long_ = find(*index, "nnnn", 10, 10);
    ASSERT_EQ(long_.size(), 1u);
    EXPECT_LE(long_[0].name.size(), 255u);
    EXPECT_EQ(names(find(*index, "AB", 10, 10)), Words{"ab"});
    EXPECT_EQ(find(*index, "אבי", 10, 10).size(), 1u);
    EXPECT_TRUE(find(*index, std::string(5000, ' ') + "n", 95, 500).empty());  // a point off the Earth
}

TEST(SearchIndex, DamagedOrForeignFilesAreRefused)
{
    TempDir dir;
    std::vector<SearchEntry> entries;
    for (int i = 0; i < 400; ++i)
        entries.push_back(entry("poi", {"Name " + std::to_string(i)}, 10 + i * 1e-3, 10));
    const std::string good = build(dir.path("g.search"), entries);
    std::string why;
    ASSERT_TRUE(SearchIndex::open(good, &why));

    writeFile(dir.path("text.search"), "not an index at all");
    EXPECT_FALSE(SearchIndex::open(dir.path("text.search"), &why));
    EXPECT_NE(why.find("not a search index"), std::string::npos) << why;
    EXPECT_FALSE(SearchIndex::open(dir.path("missing.search"), &why));

    const std::string bytes = readFile(good);
    writeFile(dir.path("v2.search"), bytes);
    execute(dir.path("v2.search"), "UPDATE meta SET value = '1' WHERE key = 'version'");
    EXPECT_FALSE(SearchIndex::open(dir.path("v2.search"), &why));
    EXPECT_NE(why.find("another version"), std::string::npos) << why;

    writeFile(dir.path("boxes.search"), bytes);
    execute(dir.path("boxes.search"), "UPDATE meta SET value = x'00' WHERE key = 'boxes'");
    EXPECT_FALSE(SearchIndex::open(dir.path("boxes.search"), &why));

    // Damage found while searching is a reason, never a crash.
    for (const char* sql : {"UPDATE blocks SET data = x'05789c'", "UPDATE blocks SET data = substr(data, 1, 20)",
                            "DELETE FROM blocks WHERE id = 1", "UPDATE prefixes SET names = x'ffffffff0f'",
                            "UPDATE words SET names = x'0000'", "UPDATE kinds SET id = id + 5"}) {
        writeFile(dir.path("d.search"), bytes);
        execute(dir.path("d.search"), sql);
        auto index = SearchIndex::open(dir.path("d.search"), &why);
        if (!index)
            continue;
        std::vector<SearchResult> out;
        bool failed = false;
        for (const char* query : {"name", "name 1", "na", "n"})
            failed = !index->search(query, 10, 10, 20, &out, &why) || failed;
        EXPECT_TRUE(failed) << sql;
    }
    // Cut short: refused at open or while searching.
    writeFile(dir.path("cut.search"), bytes.substr(0, bytes.size() / 2));
    auto cut = SearchIndex::open(dir.path("cut.search"), &why);
    std::vector<SearchResult> out;
    EXPECT_TRUE(!cut || !cut->search("name", 10, 10, 20, &out, &why) || out.size() <= 20);
}

TEST(SearchWorker, TheLatestQueryIsAnsweredOnce)
{
    TempDir dir;
    const std::string path = build(dir.path("w.search"), {entry("cafe", {"Post"}, 50, 14), entry("cafe", {"Pivo"}, 50, 14)});
    std::string why;
    SearchWorker manual(SearchIndex::open(path, &why), true);
    SearchAnswer answer;
    EXPECT_FALSE(manual.step());
    manual.want("p", 50, 14, 20);
    const std::uint64_t last = manual.want("po", 50, 14, 20);  // typed before the first was begun
    EXPECT_FALSE(manual.take(&answer));
    EXPECT_TRUE(manual.step());
    EXPECT_FALSE(manual.step());  // the first query was replaced, not queued
    ASSERT_TRUE(manual.take(&answer));
    EXPECT_EQ(answer.number, last);
    EXPECT_EQ(answer.query, "po");
    EXPECT_EQ(names(answer.results), Words{"Post"});
    EXPECT_FALSE(manual.take(&answer));
    // An answer to a query a newer one replaced is never handed over.
    manual.want("pi", 50, 14, 20);
    manual.step();
    manual.want("piv", 50, 14, 20);
    EXPECT_FALSE(manual.take(&answer));

    // On its own thread: polled for, within a bound far above its work.
    SearchWorker threaded(SearchIndex::open(path, &why));
    threaded.want("pivo", 50, 14, 20);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    bool got = false;
    while (!(got = threaded.take(&answer)) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_TRUE(got);
    EXPECT_EQ(names(answer.results), Words{"Pivo"});
}

TEST(Waypoints, SavedWholeAndReadBack)
{
    TempDir dir;
    const std::string path = dir.path("waypoints.gpx");
    Waypoints points;
    std::string why;
    ASSERT_TRUE(points.load(path, &why)) << why;  // none yet
    EXPECT_EQ(points.nextName(), "Waypoint 1");
    ASSERT_TRUE(points.add(points.nextName(), 50.0875, 14.4213));
    ASSERT_TRUE(points.add("Fish & <Chips> \"Plzeň\"", 49.7475, 13.3776));
    EXPECT_FALSE(points.add("\x01\x02", 50, 14));  // nothing left of the name
    EXPECT_FALSE(points.add("Off", 91, 14));
    EXPECT_EQ(points.nextName(), "Waypoint 2");
    ASSERT_TRUE(points.save(path, &why)) << why;
    points.list[0].name = "Home";
    ASSERT_TRUE(points.save(path, &why)) << why;
    EXPECT_EQ(dir.files(), (Words{"waypoints.gpx", "waypoints.gpx~"}));  // the previous one kept, nothing half-written

    Waypoints again;
    ASSERT_TRUE(again.load(path, &why)) << why;
    ASSERT_EQ(again.list.size(), 2u);
    EXPECT_EQ(again.list[0].name, "Home");
    EXPECT_EQ(again.list[1].name, "Fish & <Chips> \"Plzeň\"");
    EXPECT_NEAR(again.list[1].lat, 49.7475, 1e-7);
    EXPECT_EQ(again.nearest(49.7, 13.4), (std::vector<std::size_t>{1, 0}));
    Waypoints previous;
    ASSERT_TRUE(previous.load(path + "~", &why));
    EXPECT_EQ(previous.list[0].name, "Waypoint 1");
}

TEST(Waypoints, DamagedFilesSayWhy)
{
    Waypoints points;
    std::string why;
    EXPECT_FALSE(points.parse("<gpx><wpt lat=\"50\" lon=\"14\"><name>A</name></wpt><wpt", &why));
    EXPECT_NE(why.find("not a readable GPX"), std::string::npos) << why;
    EXPECT_EQ(points.list.size(), 1u);  // what came before the damage
    // Unnamed or misplaced points: named anew, or left out.
    ASSERT_TRUE(points.parse("<gpx><wpt lat=\"50\" lon=\"14\"/><wpt lat=\"x\" lon=\"14\"/>"
                             "<wpt lat=\"95\" lon=\"14\"><name>B</name></wpt></gpx>", &why)) << why;
    ASSERT_EQ(points.list.size(), 1u);
    EXPECT_EQ(points.list[0].name, "Waypoint 1");
    TempDir dir;
    mkdir(dir.path("waypoints.gpx").c_str(), 0755);
    EXPECT_FALSE(points.load(dir.path("waypoints.gpx"), &why));
}
