#include "ConfParser.h"
#include "Endianness.h"
#include "GoogleAPI.h"
#include "Packages.h"
#include "PackedMap.h"
#include "TestSupport.h"

#include <SDL_image.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string be(int v)
{
    unsigned char b[4];
    Endianness::writeBigEndian(v, b);
    return std::string(reinterpret_cast<char*>(b), 4);
}

// The part described in the format's own example: a level of 6 tiles, this
// part holding indices 0 to 2; tile 0 absent, tile 1 256 bytes at 0x20,
// tile 2 224 bytes at 0x120.
std::string examplePart()
{
    std::string part = std::string("MAP\x02", 4) + be(6) + be(0) + be(3) + be(0x20) + be(0x20) + be(0x120) + be(0x200);
    part += std::string(256, '\x01') + std::string(224, '\x02');
    return part;
}

bool header(const std::string& bytes, PackedMap::Header* h)
{
    std::istringstream in(bytes);
    return PackedMap::readHeader(in, h);
}

} // namespace

// Pins the byte order on any machine (the worked example below is written
// with the writer, so it could not tell a reader and writer wrong alike).
TEST(Endianness, BigEndianFieldsReadMostSignificantFirst)
{
    const unsigned char bytes[4] = {0x00, 0x00, 0x01, 0x20};
    EXPECT_EQ(Endianness::readBigEndian(bytes), 0x120);
}

TEST(PackedFormat, TheWorkedExample)
{
    const std::string part = examplePart();
    PackedMap::Header h;
    ASSERT_TRUE(header(part, &h));
    EXPECT_EQ(h.tileCount, 6);
    EXPECT_EQ(h.firstIndex, 0);
    EXPECT_EQ(h.endIndex, 3);
    std::istringstream in(part);
    std::string bytes = "unchanged";
    EXPECT_FALSE(PackedMap::readTile(in, h, 0, &bytes));
    ASSERT_TRUE(PackedMap::readTile(in, h, 1, &bytes));
    EXPECT_EQ(bytes, std::string(256, '\x01'));
    ASSERT_TRUE(PackedMap::readTile(in, h, 2, &bytes));
    EXPECT_EQ(bytes, std::string(224, '\x02'));
    EXPECT_FALSE(PackedMap::readTile(in, h, 3, &bytes));
    EXPECT_FALSE(PackedMap::readTile(in, h, -1, &bytes));
    EXPECT_EQ(PackedMap::partFileName("maps/city/", "base", 13, 0), "maps/city/base/13.map");
    EXPECT_EQ(PackedMap::partFileName("maps/city/", "base", 13, 1), "maps/city/base/13-1.map");
}

TEST(PackedFormat, DamagedPartsAreRefused)
{
    const std::string good = examplePart();
    PackedMap::Header h;
    const struct {
        std::size_t at;
        std::string bytes;
        const char* what;
    } harms[] = {{0, "X", "magic"},
                 {3, "\x01", "version"},
                 {0x18, be(0x10), "decreasing offsets"},
                 {0x10, be(0x8), "offset inside the header"},
                 {12, be(7), "end past the tile count"},
                 {8, be(-1), "negative first index"}};
    for (const auto& harm : harms) {
        std::string bad = good;
        bad.replace(harm.at, harm.bytes.size(), harm.bytes);
        EXPECT_FALSE(header(bad, &h)) << harm.what;
    }
    EXPECT_FALSE(header(good.substr(0, 10), &h)) << "short header";
    EXPECT_FALSE(header(good.substr(0, 0x18), &h)) << "table cut short";
    std::string bad = good;
    bad.replace(12, 4, be(0x40000000));
    bad.replace(4, 4, be(0x7fffffff));
    EXPECT_FALSE(header(bad, &h)) << "huge table";
}

TEST(PackedFormat, ACutPartKeepsTheTilesWhollyInsideIt)
{
    const std::string cut = examplePart().substr(0, 0x1ff);
    PackedMap::Header h;
    ASSERT_TRUE(header(cut, &h));
    EXPECT_TRUE(h.cutShort);
    std::istringstream in(cut);
    std::string bytes;
    ASSERT_TRUE(PackedMap::readTile(in, h, 1, &bytes));
    EXPECT_EQ(bytes, std::string(256, '\x01'));
    EXPECT_FALSE(PackedMap::readTile(in, h, 2, &bytes)) << "its last byte is gone";
    ASSERT_TRUE(header(examplePart(), &h));
    EXPECT_FALSE(h.cutShort);
}

TEST(PackedFormat, WriterSplitsIntoPartsAtTheLimit)
{
    TempDir dir;
    std::vector<std::string> tiles{"aaaa", "", "bbbbbbbb", "cc", "dddddd"};
    std::string error;
    // Header 16 + table; 40 bytes fits the first two tiles only.
    const int parts = PackedMap::writeLevel("", "layer", 7, tiles, 40, &error);
    ASSERT_GE(parts, 2) << error;
    int covered = 0;
    for (int p = 0; p < parts; ++p) {
        std::ifstream in(PackedMap::partFileName("", "layer", 7, p), std::ios::binary);
        PackedMap::Header h;
        ASSERT_TRUE(PackedMap::readHeader(in, &h));
        EXPECT_EQ(h.tileCount, 5);
        EXPECT_EQ(h.firstIndex, covered);
        for (int i = h.firstIndex; i < h.endIndex; ++i) {
            const std::string& tile = tiles[static_cast<std::size_t>(i)];
            std::string bytes;
            EXPECT_EQ(PackedMap::readTile(in, h, i, &bytes), !tile.empty());
            EXPECT_EQ(bytes, tile) << i;
        }
        covered = h.endIndex;
    }
    EXPECT_EQ(covered, 5);
    EXPECT_FALSE(fileExists("layer/7.map.part"));
}

class PackedSource : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeMissingTileImage("media/na.png");
        // 3 x 2 tiles, one part per two tiles: parts 0..2.
        TestLayer layer = layerOf("maps/p/", "sat", 3, 2);
        layer.beginX = 100;
        layer.beginY = 200;
        layer.packed = true;
        layer.skip = {4};
        SDL_Surface* sample = makeTile(0);
        const unsigned long tileBytes = encodePng(sample).size();
        SDL_FreeSurface(sample);
        layer.partLimit = 16 + 12 + 2 * tileBytes + tileBytes / 2; // two tiles a part
        writeLayer(layer);
        writeFile("maps/p/map.conf", "api=google\npacked=yes\ntype=sat\nzoom=10\nzoom_actual=10\n"
                                     "begin_x=100\nbegin_y=200\nend_x=103\nend_y=202\n");
        conf = std::make_unique<ConfParser>("maps/p/map.conf", 1);
        api = std::make_unique<GoogleAPI>(conf.get());
        api->setBg("sat");
    }

    // Id of the tile at (x, y) as decoded from the part files, -1 if absent.
    int tileId(int x, int y)
    {
        SDL_Surface* s = nullptr;
        if (!api->loadTileImage(api->bg, x, y, &s))
            return -1;
        SDL_LockSurface(s);
        Uint8 r, g, b;
        SDL_GetRGB(*static_cast<Uint32*>(s->pixels), s->format, &r, &g, &b);
        SDL_UnlockSurface(s);
        SDL_FreeSurface(s);
        return r / 8;
    }

    TempDir dir;
    std::unique_ptr<ConfParser> conf;
    std::unique_ptr<GoogleAPI> api;
};

TEST_F(PackedSource, FindsEachTileInItsPart)
{
    ASSERT_TRUE(fileExists("maps/p/sat/10-2.map"));
    EXPECT_EQ(tileId(2, 1), 5);
    EXPECT_EQ(tileId(1, 0), 1);
    EXPECT_EQ(tileId(0, 1), 3);
    EXPECT_EQ(tileId(1, 1), -1) << "absent tile";
    EXPECT_EQ(tileId(3, 0), -1) << "right of the last column is not the next row";
    EXPECT_EQ(tileId(0, 2), -1);
    EXPECT_EQ(tileId(-1, 0), -1);
}

TEST_F(PackedSource, AMissingOrBrokenPartHidesOnlyItsOwnTiles)
{
    std::remove("maps/p/sat/10-1.map");
    std::fstream part("maps/p/sat/10.map", std::ios::in | std::ios::out | std::ios::binary);
    part.seekp(3);
    part.put('\x01'); // another version
    part.close();
    api = std::make_unique<GoogleAPI>(conf.get());
    api->setBg("sat");
    EXPECT_EQ(tileId(0, 0), -1);
    EXPECT_EQ(tileId(0, 1), -1);
    EXPECT_EQ(tileId(2, 1), 5) << "the part after the gap";
}
