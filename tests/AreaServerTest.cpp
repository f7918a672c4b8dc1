// Extracts from a server and downloads, against a loopback server that
// answers well or badly on purpose (tests/support/tile_server.py).
#include "Archives.h"
#include "Download.h"
#include "Extract.h"
#include "FakeClock.h"
#include "Files.h"
#include "LoopbackServer.h"
#include "Packages.h"
#include "PMTilesWriter.h"
#include "SafeFile.h"
#include "TestSupport.h"
#include "TileArchive.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using Tiles = std::map<std::tuple<int, long long, long long>, std::string>;

// A client and fetcher on fake time: waits are recorded, never slept.
struct Net {
    explicit Net(double rate = 20, long stallSeconds = 30)
        : client(settings(stallSeconds)), fetcher(client, clock, rate)
    {
    }
    static HttpClient::Settings settings(long stallSeconds)
    {
        HttpClient::Settings s;
        s.userAgent = "Tessel/test";
        s.stallSeconds = stallSeconds;
        return s;
    }
    FakeClock clock{0};
    HttpClient client;
    Fetcher fetcher;
};

AreaBox boxOf(const std::string& text)
{
    AreaBox box;
    std::string error;
    EXPECT_TRUE(AreaBox::parse(text, &box, &error)) << error;
    return box;
}

bool extract(Net& net, const std::string& source, const std::string& box, std::string* error)
{
    Extract::Options options;
    options.box = boxOf(box);
    options.fetcher = &net.fetcher;
    std::uint64_t tiles;
    return Extract::run(source, "out.pmtiles", options, &tiles, error);
}

// A little world the server hands out, made here: levels 0 to 3 as
// pictures, five tiles of level 3 absent; as MBTiles (downloads) and as
// PMTiles (extracts).
void writeServedWorld(const std::string& folder)
{
    std::filesystem::create_directory(folder);
    std::vector<std::tuple<int, int, int, std::string>> rows;
    PMTilesLayout layout;
    int id = 0;
    for (int z = 0; z <= 3; ++z)
        for (int x = 0; x < (1 << z); ++x)
            for (int y = 0; y < (1 << z); ++y) {
                if (z == 3 && x == 5 && y < 5)
                    continue;
                const std::string png = tilePng(++id);
                rows.emplace_back(z, x, (1 << z) - 1 - y, png);
                layout.tiles[{z, x, y}] = png;
            }
    writeMBTiles(folder + "/world.mbtiles", rows);
    writePMTiles(folder + "/world.pmtiles", layout);
}

} // namespace

class AreaServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeServedWorld(dir.path("served"));
        server.reset(new LoopbackServer(dir.path("served"), dir.path("served/world.mbtiles")));
        ASSERT_TRUE(server->ok()) << "python3 runs the loopback server";
    }
    TempDir dir;
    std::unique_ptr<LoopbackServer> server;
};

// One tile of eight from a 3.7 MB archive: the header and root in one
// read, the tile's data in another; the same tiles as a local extract.
TEST_F(AreaServer, RemoteExtractReadsOnlyTheRangesNeeded)
{
    if (!SafeFile::present(sharedFixture("vector/montevideo.pmtiles")))
        GTEST_SKIP() << "no fixtures beside the project (vector/montevideo.pmtiles)";
    LoopbackServer real(sharedFixture("vector"));
    ASSERT_TRUE(real.ok());
    Net net;
    std::string error;
    const std::string box = "-56.2,-34.9,-56.19,-34.89";
    ASSERT_TRUE(extract(net, real.url("/files/montevideo.pmtiles"), box, &error)) << error;
    long long requests, bytes;
    real.counts(&requests, &bytes);
    const Tiles remote = storedTiles("out.pmtiles");
    ASSERT_EQ(remote.size(), 1u);
    EXPECT_EQ(requests, 2);
    EXPECT_EQ(bytes, 16384 + static_cast<long long>(remote.begin()->second.size())) << "of 3 710 009";
    std::remove("out.pmtiles");
    Extract::Options options;
    options.box = boxOf(box);
    std::uint64_t tiles;
    ASSERT_TRUE(Extract::run(sharedFixture("vector/montevideo.pmtiles"), "out.pmtiles", options, &tiles, &error));
    EXPECT_TRUE(storedTiles("out.pmtiles") == remote);
}

// An archive with leaf directories: the leaves the box needs come in one
// request, and the tiles in another.
TEST_F(AreaServer, RemoteExtractReadsTheLeavesItNeedsTogether)
{
    PMTilesWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open("leaves.pmtiles", &error));
    for (std::uint64_t x = 0; x < 256; ++x)
        for (std::uint64_t y = 0; y < 256; ++y)
            ASSERT_TRUE(writer.add(PMTiles::tileId(8, x, y), 1, "tile " + std::to_string((x * 7 + y) % 5000), &error));
    PMTiles::Header h;
    h.minZoom = h.maxZoom = 8;
    ASSERT_TRUE(writer.finish(h, "{}", &error));
    std::string raw;
    ASSERT_TRUE(Files::readBytes("leaves.pmtiles", &raw) && h.parse(raw, &error));
    ASSERT_GT(h.leafLength, 0u);
    LoopbackServer local(dir.dir);
    ASSERT_TRUE(local.ok());
    Net net;
    Extract::Options options;
    options.box = boxOf("10,10,20,20");
    options.fetcher = &net.fetcher;
    std::uint64_t tiles;
    ASSERT_TRUE(Extract::run(local.url("/files/leaves.pmtiles"), "out.pmtiles", options, &tiles, &error)) << error;
    EXPECT_EQ(tiles, 8u * 8);
    long long requests, bytes;
    local.counts(&requests, &bytes);
    EXPECT_EQ(requests, 3) << "header and root, leaves, tiles";
    ASSERT_TRUE(Extract::run("leaves.pmtiles", "local.pmtiles", options, &tiles, &error)) << error;
    EXPECT_TRUE(storedTiles("local.pmtiles") == storedTiles("out.pmtiles"));
}

TEST_F(AreaServer, RemoteExtractSaysWhatIsWrongWithTheServer)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/files/absent.pmtiles", "HTTP 404"},
        {"/html/world.pmtiles", "web page"},
        {"/lie/world.pmtiles", "other bytes than those asked for"},
        {"/short/world.pmtiles", "fewer bytes than asked for"},
        {"/noranges/world.pmtiles", "does not answer range requests"},
        {"/loop/0", "too many redirects"},
        {"/status/500/world.pmtiles", "HTTP 500 after 5 attempts"},
        {"/files/world.mbtiles", "not a PMTiles archive"},
    };
    for (const auto& c : cases) {
        Net net;
        std::string error;
        EXPECT_FALSE(extract(net, server->url(c.first), "-57,-35,-56,-34", &error)) << c.first;
        EXPECT_NE(error.find(c.second), std::string::npos) << c.first << ": " << error;
    }
    EXPECT_EQ(dir.files(), std::vector<std::string>{"served"}) << "nothing written";
}

// A server that sends its headers and then nothing is given up (after a
// second here; half a minute by default).
TEST_F(AreaServer, StallingServerIsGivenUp)
{
    Net net(20, 1);
    net.fetcher.attempts = 1;
    std::string error;
    EXPECT_FALSE(extract(net, server->url("/stall/world.pmtiles"), "-57,-35,-56,-34", &error));
    EXPECT_NE(error.find("stopped answering"), std::string::npos) << error;
    // Two bytes a second are no better than none.
    EXPECT_FALSE(extract(net, server->url("/trickle/world.pmtiles"), "-57,-35,-56,-34", &error));
    EXPECT_NE(error.find("stopped answering"), std::string::npos) << error;
}

// A redirect away from HTTP is refused at once, never tried again.
TEST_F(AreaServer, RedirectsToOtherSchemesAreRefusedAtOnce)
{
    for (const char* scheme : {"file", "ftp", "gopher"}) {
        Net net;
        long long before, after, bytes;
        server->counts(&before, &bytes);
        std::string error;
        EXPECT_FALSE(extract(net, server->url(std::string("/redirect/") + scheme), "-57,-35,-56,-34", &error));
        EXPECT_NE(error.find("redirect to another protocol"), std::string::npos) << scheme << ": " << error;
        server->counts(&after, &bytes);
        EXPECT_EQ(after - before, 1) << scheme;
    }
}

TEST_F(AreaServer, BusyServerIsWaitedFor)
{
    Net net;
    std::string error;
    ASSERT_TRUE(extract(net, server->url("/busy/2/files/world.pmtiles"), "-56.2,-34.9,-56.19,-34.89", &error))
        << error;
    // Retry-After: 1, then backing off to 2 s; the rest is the pace.
    EXPECT_GE(net.clock.seconds(), 3.0);
}

// Levels 0 to 3 of the world: 85 tiles asked for, 5 of them absent (404);
// two a second; an interrupted run continued asks for nothing twice.
TEST_F(AreaServer, DownloadIsPoliteAndResumes)
{
    Net net(2);
    Download::Options options;
    options.box = boxOf("-180,-85,180,85");
    options.zoomMin = 0;
    options.zoomMax = 3;
    int calls = 0;
    options.interrupted = [&calls] { return ++calls > 30; };
    Download::Report first, second, third;
    std::string error;
    const std::string pattern = server->url("/tiles/{z}/{x}/{y}.png");
    EXPECT_FALSE(Download::run(net.fetcher, pattern, "world.mbtiles", options, &first, &error));
    EXPECT_EQ(error, "interrupted with 55 of 85 tiles left to ask for; the same command continues the download");
    EXPECT_EQ(first.left, 55u);
    EXPECT_FALSE(SafeFile::present("world.mbtiles"));
    EXPECT_TRUE(SafeFile::present("world.mbtiles.part"));
    options.interrupted = nullptr;
    ASSERT_TRUE(Download::run(net.fetcher, pattern, "world.mbtiles", options, &second, &error)) << error;
    EXPECT_EQ(second.known, 30u);
    EXPECT_EQ(first.fetched + first.absent + second.fetched + second.absent, 85u);
    long long requests, bytes;
    std::string agents;
    server->counts(&requests, &bytes, &agents);
    EXPECT_EQ(requests, 85);
    EXPECT_NE(agents.find("Tessel/test"), std::string::npos);
    EXPECT_GE(net.clock.seconds(), 84 / 2.0) << "two requests a second";
    ASSERT_TRUE(Download::run(net.fetcher, pattern, "world.mbtiles", options, &third, &error)) << error;
    server->counts(&requests, &bytes);
    EXPECT_EQ(requests, 85) << "nothing fetched again";
    EXPECT_EQ(third.known, 85u);
    const Tiles source = storedTiles(dir.path("served/world.mbtiles"));
    Tiles expected;
    for (const auto& t : source)
        if (std::get<0>(t.first) <= 3)
            expected.insert(t);
    EXPECT_TRUE(storedTiles("world.mbtiles") == expected);
}

TEST_F(AreaServer, DownloadSkipsUndecodableTilesAndStopsWhenRefused)
{
    Net net;
    Download::Options options;
    options.box = boxOf("-180,-85,180,85");
    options.zoomMin = options.zoomMax = 1;
    std::vector<std::string> warned;
    options.warn = [&](const std::string&, const std::string& text) { warned.push_back(text); };
    Download::Report report;
    std::string error;
    ASSERT_TRUE(Download::run(net.fetcher, server->url("/badtiles/{z}/{x}/{-y}.png"), "bad.mbtiles", options, &report,
                              &error))
        << error;
    EXPECT_EQ(report.undecodable, 2u);
    ASSERT_EQ(warned.size(), 2u);
    EXPECT_NE(warned[0].find("/badtiles/1/1/"), std::string::npos);
    EXPECT_EQ(storedTiles("bad.mbtiles").size(), 2u);
    EXPECT_FALSE(Download::run(net.fetcher, server->url("/status/403/{z}/{x}/{y}"), "no.mbtiles", options, &report,
                               &error));
    EXPECT_NE(error.find("does not allow"), std::string::npos) << error;
    EXPECT_NE(error.find("(4 of 4 tiles left to ask for; the same command continues"), std::string::npos) << error;
    options.askAbove = 3;
    options.confirm = [](std::uint64_t tiles) { return tiles != 4; };
    EXPECT_FALSE(Download::run(net.fetcher, server->url("/tiles/{z}/{x}/{y}.png"), "ask.mbtiles", options, &report,
                               &error));
    EXPECT_FALSE(Download::run(net.fetcher, "ftp://host/{z}/{x}/{y}", "ask.mbtiles", options, &report, &error));
    EXPECT_FALSE(Download::run(net.fetcher, server->url("/{s}/{z}/{x}/{y}"), "ask.mbtiles", options, &report, &error));
    EXPECT_NE(error.find("{s}"), std::string::npos);
}

// Vector tiles are stored like pictures; a server answering web pages
// stores nothing: the run fails, keeps its .part, and the next run asks
// again for every tile.
TEST_F(AreaServer, DownloadTakesVectorTilesAndRetriesWhatDidNotDecode)
{
    if (!SafeFile::present(sharedFixture("vector/uruguay.mbtiles")))
        GTEST_SKIP() << "no fixtures beside the project (vector/uruguay.mbtiles)";
    LoopbackServer vector(dir.dir, sharedFixture("vector/uruguay.mbtiles"));
    ASSERT_TRUE(vector.ok());
    Net net;
    Download::Options options;
    options.box = boxOf("-57.6,-33.7,-54.9,-32");
    options.zoomMin = options.zoomMax = 9;
    options.name = "Uruguay";
    Download::Report report;
    std::string error;
    ASSERT_TRUE(Download::run(net.fetcher, vector.url("/tiles/{z}/{x}/{y}.pbf"), "uy.mbtiles", options, &report,
                              &error))
        << error;
    EXPECT_EQ(report.fetched, 12u);
    EXPECT_EQ(report.undecodable, 0u);
    EXPECT_TRUE(storedTiles("uy.mbtiles") == storedTiles(sharedFixture("vector/uruguay.mbtiles")));
    const std::unique_ptr<TileArchive> got = TileArchive::open("uy.mbtiles", &error);
    ASSERT_TRUE(got) << error;
    EXPECT_EQ(got->info().format, "pbf");
    EXPECT_EQ(got->info().name, "Uruguay");

    long long before, after, bytes;
    for (int run = 0; run < 2; ++run) {
        vector.counts(&before, &bytes);
        Download::Report pages;
        EXPECT_FALSE(Download::run(net.fetcher, vector.url("/html/{z}/{x}/{y}"), "pages.mbtiles", options, &pages,
                                   &error));
        EXPECT_NE(error.find("no tile was stored"), std::string::npos) << error;
        EXPECT_EQ(pages.undecodable, 12u);
        vector.counts(&after, &bytes);
        EXPECT_EQ(after - before, 12) << "every tile asked for again";
    }
    EXPECT_FALSE(SafeFile::present("pages.mbtiles"));
    EXPECT_TRUE(SafeFile::present("pages.mbtiles.part"));
}
