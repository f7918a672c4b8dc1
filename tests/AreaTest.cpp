// Maps for an area: the box, the reads, the writers and local extracts.
#include "AreaBox.h"
#include "Archives.h"
#include "ByteSpans.h"
#include "Extract.h"
#include "Files.h"
#include "Gzip.h"
#include "HttpHeaders.h"
#include "PMTilesArchive.h"
#include "Packages.h"
#include "PMTilesWriter.h"
#include "SafeFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <set>
#include <sqlite3.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Tiles = std::map<std::tuple<int, long long, long long>, std::string>;

// The source's tiles inside the box at levels from..to: what an extract must hold.
Tiles expectedIn(const Tiles& source, const AreaBox& box, int from, int to)
{
    Tiles expected;
    for (const auto& t : source) {
        const int z = std::get<0>(t.first);
        if (z < from || z > to)
            continue;
        for (const TileRect& r : box.tiles(z))
            if (std::get<1>(t.first) >= r.minX && std::get<1>(t.first) <= r.maxX && std::get<2>(t.first) >= r.minY &&
                std::get<2>(t.first) <= r.maxY)
                expected.insert(t);
    }
    return expected;
}

AreaBox boxOf(const std::string& text)
{
    AreaBox box;
    std::string error;
    EXPECT_TRUE(AreaBox::parse(text, &box, &error)) << error;
    return box;
}

} // namespace

TEST(AreaBox, ParsesClampsAndRefuses)
{
    AreaBox box;
    std::string error;
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "a,2,3,4", "0,10,5,5", "0,0,0,5", "-181,0,5,5", "0,-91,5,5",
                            "0,86,5,89", "1,2,3,4x"})
        EXPECT_FALSE(AreaBox::parse(bad, &box, &error)) << bad;
    ASSERT_TRUE(AreaBox::parse("-10,-90,10,90", &box, &error));
    EXPECT_DOUBLE_EQ(box.north, AreaBox::maxLatitude);
    EXPECT_DOUBLE_EQ(box.south, -AreaBox::maxLatitude);
    EXPECT_EQ(box.tiles(3).size(), 1u);
    EXPECT_EQ(box.tiles(3)[0].minY, 0);
    EXPECT_EQ(box.tiles(3)[0].maxY, 7);
    // Across the date line: two boxes, one again where both halves meet.
    box = boxOf("170,-5,-170,5");
    ASSERT_EQ(box.tiles(4).size(), 2u);
    EXPECT_EQ(box.tiles(4)[0].minX, 15);
    EXPECT_EQ(box.tiles(4)[1].maxX, 0);
    EXPECT_EQ(box.tiles(0).size(), 1u);
    EXPECT_EQ(box.tileCount(0), 1);
    // A box ending on a tile edge does not take the next tile.
    EXPECT_EQ(boxOf("0,0,90,66.51326044311").tileCount(2), 1);
}

// The ranges are a differential oracle's other side: every id they hold
// is a tile of the box, and every tile of the box is held.
TEST(AreaBox, IdRangesHoldExactlyTheBoxTiles)
{
    for (const char* text : {"-10,35,30,60", "170,-40,-100,10", "-180,-85,180,85", "5.1,45.2,5.2,45.3"})
        for (int z = 0; z <= 9; ++z) {
            const AreaBox box = boxOf(text);
            std::set<std::uint64_t> fromRanges, fromTiles;
            std::vector<PMTilesPicker::IdRange> ranges;
            ASSERT_TRUE(box.idRanges(z, &ranges));
            for (std::size_t i = 0; i < ranges.size(); ++i) {
                ASSERT_LT(ranges[i].from, ranges[i].to);
                if (i > 0) {
                    ASSERT_LT(ranges[i - 1].to, ranges[i].from) << "ranges sorted, apart";
                }
                for (std::uint64_t id = ranges[i].from; id < ranges[i].to; ++id)
                    fromRanges.insert(id);
            }
            for (const TileRect& r : box.tiles(z))
                for (long long x = r.minX; x <= r.maxX; ++x)
                    for (long long y = r.minY; y <= r.maxY; ++y)
                        fromTiles.insert(PMTiles::tileId(z, static_cast<std::uint64_t>(x), static_cast<std::uint64_t>(y)));
            EXPECT_EQ(fromRanges, fromTiles) << text << " at level " << z;
        }
}

TEST(AreaReads, SpansJoinOverSmallGapsWithinTheLimit)
{
    using ByteSpans::Span;
    const std::vector<Span> reads = ByteSpans::merge({{500, 10}, {0, 10}, {15, 5}, {100, 10}, {505, 2}, {900, 400}},
                                                     10, 200);
    ASSERT_EQ(reads.size(), 4u);
    EXPECT_EQ(reads[0].offset, 0u);
    EXPECT_EQ(reads[0].length, 20u);
    EXPECT_EQ(reads[1].offset, 100u);
    EXPECT_EQ(reads[2].length, 10u);
    EXPECT_EQ(reads[3].length, 400u) << "a span longer than the limit is read alone";
}

TEST(AreaReads, HeadersAreReadStrictly)
{
    std::uint64_t a, b, total;
    EXPECT_TRUE(HttpHeaders::contentRange("bytes 0-99/1000", &a, &b, &total));
    EXPECT_EQ(b, 99u);
    EXPECT_EQ(total, 1000u);
    EXPECT_TRUE(HttpHeaders::contentRange("bytes 5-5/*", &a, &b, &total));
    EXPECT_EQ(total, 0u);
    for (const char* bad : {"", "bytes 9-5/10", "bytes 0-10/10", "bytes -1-5/10", "bytes 0-5/10x", "items 0-5/10",
                            "bytes 0-99999999999999999999/1", "bytes */10"})
        EXPECT_FALSE(HttpHeaders::contentRange(bad, &a, &b, &total)) << bad;
    long long s;
    EXPECT_TRUE(HttpHeaders::retryAfter("120", 0, &s));
    EXPECT_EQ(s, 120);
    EXPECT_TRUE(HttpHeaders::retryAfter("Wed, 21 Oct 2015 07:28:00 GMT", 1445412470, &s));
    EXPECT_EQ(s, 10);
    EXPECT_FALSE(HttpHeaders::retryAfter("soon", 0, &s));
    EXPECT_FALSE(HttpHeaders::retryAfter("-5", 0, &s));
    EXPECT_TRUE(HttpHeaders::isWebPage("Text/HTML; charset=utf-8"));
    EXPECT_FALSE(HttpHeaders::isWebPage("application/octet-stream"));
}

// Enough tiles to need leaf directories; runs and repeats kept once.
TEST(AreaWriters, PMTilesWithLeavesReadsBackTileForTile)
{
    TempDir dir;
    PMTilesWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open("big.pmtiles", &error)) << error;
    Tiles written;
    for (long long x = 0; x < 256; ++x)
        for (long long y = 0; y < 128; ++y) {
            const std::string bytes = "tile " + std::to_string((x * 7 + y) % 5000);
            ASSERT_TRUE(writer.add(PMTiles::tileId(8, x, y), 1, bytes, &error));
            written[std::make_tuple(8, x, y)] = bytes;
        }
    ASSERT_TRUE(writer.add(PMTiles::tileId(9, 0, 0), 4, "sea", &error));
    PMTiles::Header h;
    h.tileType = PMTiles::Header::png;
    h.minZoom = 8;
    h.maxZoom = 9;
    ASSERT_TRUE(writer.finish(h, "{\"name\":\"big\"}", &error)) << error;
    std::string raw;
    ASSERT_TRUE(Files::readBytes("big.pmtiles", &raw));
    PMTiles::Header back;
    ASSERT_TRUE(back.parse(raw, &error));
    EXPECT_GT(back.leafLength, 0u);
    EXPECT_LE(back.rootOffset + back.rootLength, 16384u);
    EXPECT_EQ(back.tileContents, 1914u);
    EXPECT_EQ(back.addressedTiles, 256u * 128 + 4);
    EXPECT_TRUE(back.clustered) << "written out of id order, laid out in it";
    const Tiles stored = storedTiles("big.pmtiles");
    EXPECT_EQ(stored.size(), written.size() + 4);
    for (const auto& t : written)
        ASSERT_EQ(stored.at(t.first), t.second);
    EXPECT_EQ(stored.at(std::make_tuple(9, 1ll, 1ll)), "sea");
}

// Real archives of every kind, raster and vector, cut both ways and
// compared tile by tile with what the source holds in the box.
TEST(AreaExtract, CopiesEveryTileMeetingTheBoxAsStored)
{
    if (!SafeFile::present(sharedFixture("plain_1.mbtiles")))
        GTEST_SKIP() << "no fixtures beside the project";
    TempDir dir;
    struct Case {
        const char* source;
        const char* box;
        int from, to;
        const char* output;
    };
    const Case cases[] = {
        {"stamen_toner_z3.pmtiles", "-10,35,30,60", 0, 3, "a.pmtiles"},
        {"stamen_toner_z3.pmtiles", "-10,35,30,60", 2, 3, "b.mbtiles"},
        {"plain_1.mbtiles", "100,-50,-120,20", 1, 4, "c.pmtiles"},
        {"vector/montevideo.pmtiles", "-56.3,-34.95,-56.1,-34.8", 0, 30, "d.mbtiles"},
        {"vector/uruguay.mbtiles", "-58,-35,-55,-32", 0, 30, "e.pmtiles"},
    };
    for (const Case& c : cases) {
        Extract::Options options;
        options.box = boxOf(c.box);
        options.zoomMin = c.from;
        options.zoomMax = c.to;
        std::uint64_t tiles = 0;
        std::string error;
        ASSERT_TRUE(Extract::run(sharedFixture(c.source), c.output, options, &tiles, &error)) << c.source << ": " << error;
        const Tiles expected = expectedIn(storedTiles(sharedFixture(c.source)), options.box, c.from, c.to);
        const Tiles got = storedTiles(c.output);
        EXPECT_EQ(got.size(), tiles);
        EXPECT_FALSE(expected.empty());
        EXPECT_TRUE(got == expected) << c.source << " into " << c.output;
        // The viewer opens what was written, with the extract's extent.
        const std::unique_ptr<TileArchive> opened =
            TileArchive::open(c.output, &error, TileArchive::Reading::tilesOnly);
        ASSERT_TRUE(opened) << error;
    }
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"a.pmtiles", "b.mbtiles", "c.pmtiles", "d.mbtiles", "e.pmtiles"}));
}

TEST(AreaExtract, RefusesWhatCannotBeDoneAndLeavesNothing)
{
    TempDir dir;
    PMTilesLayout layout;
    layout.tiles[std::make_tuple(2, 1, 1)] = "tile";
    writePMTiles("good.pmtiles", layout);
    // A leaf pointing at itself, and a run past the end of the data.
    layout.rawRoot = pmDirectory({{0, 0, 5, 0}});
    layout.rawLeaves = pmDirectory({{0, 0, 5, 0}});
    writePMTiles("loop.pmtiles", layout);
    layout.rawRoot = pmDirectory({{0, 0, 99999, 1}});
    writePMTiles("past.pmtiles", layout);
    // A root directory that inflates past every bound.
    layout.gzipDirectories = true;
    layout.rawRoot = Gzip::deflate(std::string(8u << 20, '\0'));
    writePMTiles("bomb.pmtiles", layout);
    Files::writeBytes("exists.pmtiles", "mine");
    struct Case {
        const char* source;
        const char* output;
        int from;
        const char* message;
    };
    const Case cases[] = {
        {"good.pmtiles", "exists.pmtiles", -1, "exists already"},
        {"good.pmtiles", "out.zip", -1, "must end in .pmtiles or .mbtiles"},
        {"good.pmtiles", "out.pmtiles", 5, "levels 2 to 2"},
        {"loop.pmtiles", "out.pmtiles", -1, "nested deeper"},
        {"past.pmtiles", "out.pmtiles", -1, "outside the archive"},
        {"bomb.pmtiles", "out.pmtiles", -1, "damaged root directory"},
        {"exists.pmtiles", "out.pmtiles", -1, "not an MBTiles or PMTiles"},
    };
    for (const Case& c : cases) {
        Extract::Options options;
        options.zoomMin = c.from;
        std::uint64_t tiles;
        std::string error;
        EXPECT_FALSE(Extract::run(c.source, c.output, options, &tiles, &error)) << c.source;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
    // Stopped half way: nothing is left.
    Extract::Options options;
    options.interrupted = [] { return true; };
    std::uint64_t tiles;
    std::string error;
    EXPECT_FALSE(Extract::run("good.pmtiles", "out.pmtiles", options, &tiles, &error));
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"bomb.pmtiles", "exists.pmtiles", "good.pmtiles", "loop.pmtiles", "past.pmtiles"}));
    std::string mine;
    EXPECT_TRUE(Files::readBytes("exists.pmtiles", &mine) && mine == "mine");
}

TEST(AreaExtract, MetadataThatIsNotUtf8IsCarriedOver)
{
    TempDir dir;
    writeMBTiles("latin1.mbtiles", {{1, 0, 0, tilePng(1)}},
                 {{"name", "Caf\xe9"}, {"format", "png"}, {"json", "{\"vector_layers\": []}"}});
    Extract::Options options;
    std::uint64_t tiles = 0;
    std::string error;
    ASSERT_TRUE(Extract::run("latin1.mbtiles", "out.pmtiles", options, &tiles, &error)) << error;
    EXPECT_EQ(1u, tiles);
    // The byte that is not UTF-8 becomes U+FFFD; the rest of the name stays.
    const std::unique_ptr<TileArchive> out = TileArchive::open("out.pmtiles", &error);
    ASSERT_TRUE(out) << error;
    EXPECT_EQ(out->info().name, "Caf\xef\xbf\xbd");
}

// A 4 KB leaf that inflates to a million entries, listed forty times by
// the root: reading the leaves all at once would hold 1.3 GB. Extracted in
// a child process, whose peak resident size the kernel reports.
TEST(AreaExtract, LeafBombIsRefusedWithinBoundedMemory)
{
    TempDir dir;
    PMTilesLayout layout;
    layout.tiles[std::make_tuple(2, 1, 1)] = "tile";
    layout.gzipDirectories = true;
    std::vector<PMTiles::Entry> leaf(1000000), root;
    for (std::uint64_t id = 0; id < leaf.size(); ++id)
        leaf[id] = PMTiles::Entry{id, 0, 4, 1};
    layout.rawLeaves = Gzip::deflate(PMTiles::serializeDirectory(leaf));
    std::vector<PMTiles::Entry>().swap(leaf); // not counted in the child's peak
    for (std::uint64_t id = 0; id < 40; ++id)
        root.push_back(PMTiles::Entry{id, 0, layout.rawLeaves.size(), 0});
    layout.rawRoot = Gzip::deflate(PMTiles::serializeDirectory(root));
    writePMTiles("bomb.pmtiles", layout);
    ASSERT_LT(layout.rawLeaves.size() + layout.rawRoot.size(), 8000u);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Extract::Options options;
        std::uint64_t tiles;
        std::string error;
        const bool done = Extract::run("bomb.pmtiles", "out.pmtiles", options, &tiles, &error);
        _exit(!done && error.find("entries") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    // 50 MB in a plain build, the leaves read one at a time (1.3 GB at once).
    // AddressSanitizer keeps up to 256 MB of freed blocks in quarantine.
#if defined(__SANITIZE_ADDRESS__)
    const long bound = 768 * 1024;
#else
    const long bound = 256 * 1024;
#endif
    EXPECT_LT(usage.ru_maxrss, bound) << "kB at the peak";
}

// What a run killed outright left is removed by the next run into the
// same output; the temporary file of a run still going is not.
TEST(AreaExtract, TemporariesOfKilledRunsAreRemoved)
{
    TempDir dir;
    PMTilesLayout layout;
    layout.tiles[std::make_tuple(2, 1, 1)] = "tile";
    writePMTiles("good.pmtiles", layout);
    Files::writeBytes(".out.pmtiles.tessel-Ab12Cd", "killed");
    Files::writeBytes(".out.pmtiles.tessel-Ab12Cd-journal", "killed");
    Files::writeBytes(".out.pmtiles.tessel-Held01", "running");
    Files::writeBytes(".other.pmtiles.tessel-Ab12Cd", "another output's");
    const int held = open(".out.pmtiles.tessel-Held01", O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    Extract::Options options;
    std::uint64_t tiles;
    std::string error;
    ASSERT_TRUE(Extract::run("good.pmtiles", "out.pmtiles", options, &tiles, &error)) << error;
    close(held);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{".other.pmtiles.tessel-Ab12Cd", ".out.pmtiles.tessel-Held01",
                                                     "good.pmtiles", "out.pmtiles"}));
}

// A metadata view that never ends, or never gives a row: extract stops,
// the second time at once when asked to (Ctrl-C).
TEST(AreaExtract, EndlessMetadataEnds)
{
    TempDir dir;
    const std::pair<const char*, const char*> views[] = {
        {"endless.mbtiles", "SELECT 'name' AS name, 'x' AS value FROM n"},
        {"silent.mbtiles", "SELECT 'name' AS name, 'x' AS value FROM n WHERE i < 0"},
    };
    for (const auto& v : views) {
        writeMBTiles(v.first, {{1, 0, 0, tilePng(1)}});
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(v.first, &db), SQLITE_OK);
        const std::string sql = std::string("DROP TABLE metadata; CREATE VIEW metadata AS WITH RECURSIVE "
                                            "n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) ") + v.second;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    Extract::Options options;
    std::uint64_t tiles;
    std::string error;
    EXPECT_FALSE(Extract::run("endless.mbtiles", "out.pmtiles", options, &tiles, &error));
    EXPECT_NE(error.find("more than 4096 rows"), std::string::npos) << error;
    int asked = 0;
    options.interrupted = [&asked] { return ++asked > 3; };
    EXPECT_FALSE(Extract::run("silent.mbtiles", "out.pmtiles", options, &tiles, &error));
    EXPECT_NE(error.find("interrupted"), std::string::npos) << error;
    EXPECT_FALSE(SafeFile::present("out.pmtiles"));
}
