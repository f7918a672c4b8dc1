#include "ArchiveReport.h"
#include "Archives.h"
#include "Codecs.h"
#include "ConfParser.h"
#include "Files.h"
#include "GoogleAPI.h"
#include "Package.h"
#include "PackageReader.h"
#include "Packages.h"
#include "PackedMap.h"
#include "PMTilesDirectory.h"
#include "SafeFile.h"
#include "TestSupport.h"
#include "TileSet.h"
#include "TileSource.h"
#include "World.h"

#include <SDL_image.h>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <tuple>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sstream>
#include <sys/stat.h>

namespace {


std::string read(const std::string& path)
{
    std::string bytes;
    Files::readBytes(path, &bytes);
    return bytes;
}

bool checks(const std::string& dir, std::string* report = nullptr)
{
    std::ostringstream out;
    const bool ok = Package::check(dir, out);
    if (report)
        *report = out.str();
    return ok;
}

} // namespace

class PackTool : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(PackTool, ImportsMBTilesFlippingTmsRows)
{
    const std::string north = tilePng(1), south = tilePng(2), deeper = tilePng(3);
    writeMBTiles("little.mbtiles", {{1, 0, 1, north}, {1, 0, 0, south}, {2, 1, 3, deeper}, {2, 0, 0, tilePng(4)}});
    std::string error;
    const std::shared_ptr<TileSource> source = TileSource::open("little.mbtiles", &error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->name, "Little world");

    Package::ImportOptions options;
    ASSERT_TRUE(Package::import({{source, "", false}}, options, "pkg", &error)) << error;
    EXPECT_EQ(read("pkg/wab/v=wab&x=0&y=0&zoom=16"), north) << "TMS row 1 of level 1 is the northern row";
    EXPECT_EQ(read("pkg/wab/v=wab&x=0&y=1&zoom=16"), south);
    EXPECT_EQ(read("pkg/wab/v=wab&x=1&y=0&zoom=15"), deeper);
    ConfParser conf("pkg/map.conf", 1);
    std::string caption, value;
    conf.value("caption", &caption);
    EXPECT_EQ(caption, "Little world");
    for (const char* key : {"api", "packed", "type", "zoom_actual", "begin_x", "end_x", "end_y", "pos_x", "move_y"})
        EXPECT_TRUE(conf.value(key, &value)) << key;
    std::string report;
    EXPECT_TRUE(checks("pkg", &report)) << report;

    // The area is the deepest level's tiles; the viewer opens it there.
    Map map;
    ASSERT_TRUE(map.create(testScreen(), "pkg/map.conf"));
    EXPECT_EQ(map.grid.areaWidth, 2);
    EXPECT_EQ(map.grid.areaHeight, 4);
    ASSERT_TRUE(map.zoomOut());
    EXPECT_EQ(map.grid.areaWidth, 1);
    EXPECT_EQ(map.grid.areaHeight, 2);

    EXPECT_FALSE(Package::import({{source, "", false}}, options, "pkg", &error)) << "never over an existing package";
    EXPECT_FALSE(SafeFile::present("pkg.partial"));
    EXPECT_FALSE(TileSource::open("missing.mbtiles", &error));
    writeFile("junk.mbtiles", "not a database at all, just some text that is long enough");
    EXPECT_FALSE(TileSource::open("junk.mbtiles", &error));
}

TEST_F(PackTool, ImportsAFolderOptionsAndAnOverlay)
{
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            Files::makeDir("tiles");
            Files::makeDir("tiles/2");
            Files::makeDir("tiles/2/" + std::to_string(x));
            Files::writeBytes("tiles/2/" + std::to_string(x) + "/" + std::to_string(y) + ".png", tilePng(x + 4 * y));
        }
    Files::writeBytes("tiles/2/0/0.webp", "RIFF\x10\x00\x00\x00WEBPVP8 junk");
    Files::makeDir("overlay");
    Files::makeDir("overlay/2");
    Files::makeDir("overlay/2/1");
    Files::writeBytes("overlay/2/1/1.png", tilePng(30));
    TileSet base, overlay;
    std::string error;
    ASSERT_TRUE(TileSources::readFolder("tiles", &base, &error)) << error;
    EXPECT_EQ(base.tiles.size(), 16u);
    EXPECT_FALSE(base.warnings.empty()) << "the WebP file is reported";
    ASSERT_TRUE(TileSources::readFolder("overlay", &overlay, &error));

    Package::ImportOptions options;
    options.packed = true;
    options.caption = "Corner";
    options.attribution = "Survey & Co";
    options.layer = "map";
    options.bbox = true; // the north-west quarter of the world: tiles 0..1 at level 2
    options.west = -179;
    options.south = 1;
    options.east = -1;
    options.north = 84;
    ASSERT_TRUE(Package::import({{&base, "", false}, {&overlay, "", true}}, options, "pkg", &error)) << error;
    ConfParser conf("pkg/map.conf", 1);
    int endX = 0, endY = 0;
    conf.intValue("end_x", &endX);
    conf.intValue("end_y", &endY);
    EXPECT_EQ(endX, 2);
    EXPECT_EQ(endY, 2);
    std::string credit;
    EXPECT_TRUE(conf.value("attribution", &credit));
    EXPECT_EQ(credit, "Survey & Co");
    std::string report;
    ASSERT_TRUE(checks("pkg", &report)) << report;
    EXPECT_NE(report.find("layer map, zoom 15: 4 tiles, 0 missing"), std::string::npos) << report;
    EXPECT_NE(report.find("layer wat, zoom 15: 1 tiles, 3 missing"), std::string::npos) << report;

    // The same folders read a level at a time, in place: the same package.
    const std::shared_ptr<TileSource> lazyBase = TileSource::open("tiles", &error);
    const std::shared_ptr<TileSource> lazyOverlay = TileSource::open("overlay", &error);
    ASSERT_TRUE(lazyBase && lazyOverlay) << error;
    std::vector<std::string> warned;
    options.warn = [&](const std::string&, const std::string& text) { warned.push_back(text); };
    ASSERT_TRUE(Package::import({{lazyBase, "", false}, {lazyOverlay, "", true}}, options, "lazy", &error)) << error;
    EXPECT_EQ(read("lazy/map.conf"), read("pkg/map.conf"));
    EXPECT_EQ(read("lazy/map/15.map"), read("pkg/map/15.map"));
    EXPECT_EQ(read("lazy/wat/15.map"), read("pkg/wat/15.map"));
    ASSERT_EQ(warned.size(), 1u);
    EXPECT_EQ(warned[0].find("tile 2/0/0: "), 0u) << warned[0];
}

TEST_F(PackTool, PackedTilesAreTheLooseBytes)
{
    writeSamplePackage("loose/", "Sample", false);
    std::string error;
    ASSERT_TRUE(Package::convert("loose", true, "packed", 5000, &error)) << error;
    ASSERT_TRUE(SafeFile::present("packed/sat/10-1.map")) << "split at the part size";
    ConfParser looseConf("loose/map.conf", 1), packedConf("packed/map.conf", 1);
    GoogleAPI loose(&looseConf), packed(&packedConf);
    ASSERT_TRUE(packed.packed);
    for (const char* layer : {"sat", "wab", "wat"}) {
        packed.setBg(layer);
        for (int y = 0; y < loose.height; ++y)
            for (int x = 0; x < loose.width; ++x) {
                const std::string expected = read(loose.tileFileName(layer, x, y));
                // The bytes in the part files, and the viewer's decoding of them.
                PackedMap::Header h;
                std::string bytes;
                const int index = x + loose.width * y;
                for (int p = 0; p < 8 && bytes.empty(); ++p) {
                    std::ifstream in(PackedMap::partFileName("packed/", layer, 10, p), std::ios::binary);
                    if (in && PackedMap::readHeader(in, &h) && index >= h.firstIndex && index < h.endIndex)
                        PackedMap::readTile(in, h, index, &bytes);
                }
                EXPECT_EQ(bytes, expected) << layer << " " << x << "," << y;
                SDL_Surface* decoded = nullptr;
                ASSERT_TRUE(packed.loadTileImage(packed.bg, x, y, &decoded));
                SDL_Surface* reference = IMG_Load(loose.tileFileName(layer, x, y).c_str());
                ASSERT_EQ(decoded->w, reference->w);
                SDL_LockSurface(decoded);
                SDL_LockSurface(reference);
                EXPECT_EQ(std::memcmp(decoded->pixels, reference->pixels,
                                      static_cast<std::size_t>(decoded->pitch * decoded->h)),
                          0);
                SDL_UnlockSurface(decoded);
                SDL_UnlockSurface(reference);
                SDL_FreeSurface(decoded);
                SDL_FreeSurface(reference);
            }
    }
}

TEST_F(PackTool, UnpackAndPackInPlaceKeepEveryByte)
{
    writeSamplePackage("pkg/", "Sample", false);
    writeSamplePackage("original/", "Sample", false);
    std::string error;
    ASSERT_TRUE(Package::convert("pkg", true, "", 50000, &error)) << error;
    EXPECT_FALSE(SafeFile::present("pkg/sat/v=sat&x=0&y=0&zoom=10"));
    EXPECT_TRUE(SafeFile::present("pkg/sat/10.map"));
    EXPECT_FALSE(Package::convert("pkg", true, "", 50000, &error)) << "packed already";
    ASSERT_TRUE(Package::convert("pkg", false, "", 0, &error)) << error;
    EXPECT_FALSE(SafeFile::present("pkg/sat/10.map"));
    EXPECT_FALSE(SafeFile::present("pkg.old"));
    EXPECT_FALSE(SafeFile::present("pkg.converting"));
    ConfParser conf("original/map.conf", 1);
    GoogleAPI api(&conf);
    int compared = 0;
    for (int level = 0; level < 2; ++level) {
        for (const char* layer : {"sat", "wab", "wat"})
            for (int y = 0; y < api.height; ++y)
                for (int x = 0; x < api.width; ++x) {
                    const std::string name = api.tileFileName(layer, x, y);
                    const std::string original = read(name);
                    EXPECT_EQ(read("pkg/" + name.substr(std::string("original/").size())), original) << name;
                    compared += original.empty() ? 0 : 1;
                }
        api.zoomOut();
    }
    EXPECT_EQ(compared, 3 * 24 + 6);
    EXPECT_EQ(read("pkg/map.conf"), read("original/map.conf"));
}

TEST_F(PackTool, CheckFindsEveryKindOfDamage)
{
    writeSamplePackage("good/", "Sample", false);
    std::string error;
    ASSERT_TRUE(Package::convert("good", true, "", 5000, &error)) << error;
    ASSERT_TRUE(checks("good"));
    const auto damaged = [&](const char* name, const std::function<void(const std::string&)>& harm) {
        const std::string copy = std::string("bad-") + name;
        EXPECT_EQ(std::system(("cp -R good " + copy).c_str()), 0);
        harm(copy);
        std::string report;
        EXPECT_FALSE(checks(copy, &report)) << name << ":\n" << report;
        return report;
    };
    auto patch = [](const std::string& file, long offset, const std::string& bytes) {
        std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(offset);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    EXPECT_NE(damaged("magic", [&](const std::string& d) { patch(d + "/sat/10.map", 0, "XYZ"); }).find("magic"),
              std::string::npos);
    EXPECT_NE(damaged("offsets", [&](const std::string& d) { patch(d + "/sat/10.map", 24, std::string(4, '\0')); })
                  .find("offset"),
              std::string::npos);
    damaged("truncated", [&](const std::string& d) { truncate((d + "/sat/10.map").c_str(), 200); });
    EXPECT_NE(damaged("part", [&](const std::string& d) { std::remove((d + "/wab/10-1.map").c_str()); })
                  .find("missing part"),
              std::string::npos);
    damaged("key", [&](const std::string& d) {
        writeFile(d + "/map.conf", "caption=x\napi=google\npacked=yes\ntype=sat\nzoom=10\n");
    });
    damaged("tile", [&](const std::string& d) {
        // Replace the first tile's PNG signature: the bytes no longer decode.
        std::ifstream in(d + "/wat/10.map", std::ios::binary);
        PackedMap::Header h;
        ASSERT_TRUE(PackedMap::readHeader(in, &h));
        unsigned char first[4];
        in.seekg(16);
        in.read(reinterpret_cast<char*>(first), 4);
        patch(d + "/wat/10.map", (first[0] << 24) | (first[1] << 16) | (first[2] << 8) | first[3], "JUNK");
    });
    EXPECT_TRUE(checks("good")) << "the original is untouched";
}

TEST_F(PackTool, ConversionThatFailsLeavesTheSource)
{
    writeSamplePackage("pkg/", "Sample", true);
    std::string part = read("pkg/wab/10.map");
    part[0] = 'X';
    Files::writeBytes("pkg/wab/10.map", part);
    const std::string before = read("pkg/map.conf");
    std::string error;
    EXPECT_FALSE(Package::convert("pkg", false, "", 0, &error));
    EXPECT_NE(error.find("wrong magic"), std::string::npos) << error;
    EXPECT_TRUE(SafeFile::present("pkg/sat/10.map"));
    EXPECT_EQ(read("pkg/map.conf"), before);
    EXPECT_FALSE(SafeFile::present("pkg.converting"));
    EXPECT_FALSE(SafeFile::present("pkg.old"));
}

TEST(PMTilesIds, HilbertOrderAndBack)
{
    const int firstIds[][3] = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {1, 1, 1}, {1, 1, 0}, {2, 0, 0}}; // z, x, y
    for (std::uint64_t id = 0; id < 6; ++id)
        EXPECT_EQ(PMTiles::tileId(firstIds[id][0], firstIds[id][1], firstIds[id][2]), id);
    for (int z = 0; z < 6; ++z)
        for (std::uint64_t x = 0; x < (1u << z); x += 3)
            for (std::uint64_t y = 0; y < (1u << z); y += 5) {
                int tz;
                std::uint64_t tx, ty;
                ASSERT_TRUE(PMTiles::tileFromId(PMTiles::tileId(z, x, y), &tz, &tx, &ty));
                EXPECT_EQ(tz, z);
                EXPECT_EQ(tx, x);
                EXPECT_EQ(ty, y);
            }
}

// Imports keep every tile each fixture holds, at its place, byte for byte.
TEST_F(PackTool, RealWorldFixturesKeepEveryTile)
{
    if (!SafeFile::present(sharedFixture("README.md")))
        GTEST_SKIP() << "no fixtures beside the project";
    const struct {
        const char* file;
        std::size_t tiles;
        int zoomMin, zoomMax;
    } cases[] = {
        {"plain_1.mbtiles", 285, 0, 4},
        {"one_tile.mbtiles", 2, 0, 1},
        {"some-empty-tiles.mbtiles", 11, 1, 2},
        {"stamen_toner_z3.pmtiles", 85, 0, 3},
    };
    for (const auto& c : cases) {
        std::string error;
        const std::shared_ptr<TileSource> source = TileSource::open(sharedFixture(c.file), &error);
        ASSERT_TRUE(source) << c.file << ": " << error;
        EXPECT_EQ(source->levels().front().z, c.zoomMin) << c.file;
        EXPECT_EQ(source->levels().back().z, c.zoomMax) << c.file;
        Package::ImportOptions options;
        options.packed = std::string(c.file).find("plain") != std::string::npos;
        options.warn = [&](const std::string&, const std::string& text) { ADD_FAILURE() << c.file << ": " << text; };
        const std::string out = std::string("out-") + c.file;
        ASSERT_TRUE(Package::import({{source, "", false}}, options, out, &error)) << c.file << ": " << error;
        EXPECT_TRUE(checks(out)) << c.file;
        std::map<std::tuple<int, long long, long long>, std::string> kept;
        PackageReader package;
        ASSERT_TRUE(package.open(out, &error)) << error;
        package.forEachLevel([&](MapAPI& level) {
            const MapAPI::LevelArea area = level.areaAt(level.zoom);
            std::vector<std::string> problems;
            PackageReader::forEachTile(
                level, package.layers.front(),
                [&](int i, const std::string& bytes) {
                    kept[std::make_tuple(17 - area.zoomValue, area.worldX + i % area.width,
                                         area.worldY + i / area.width)] = bytes;
                    return true;
                },
                &problems);
            EXPECT_TRUE(problems.empty()) << c.file;
        });
        std::size_t tiles = 0;
        for (const ArchiveLevel& l : source->levels())
            source->forEachTile(l.z, 0, 0, (1ll << l.z) - 1, (1ll << l.z) - 1,
                                [&](long long x, long long y, const std::string& bytes) {
                                    ++tiles;
                                    EXPECT_TRUE(kept[std::make_tuple(l.z, x, y)] == bytes)
                                        << c.file << ": tile " << l.z << "/" << x << "/" << y;
                                    return true;
                                },
                                &error);
        EXPECT_EQ(tiles, c.tiles) << c.file;
        EXPECT_EQ(kept.size(), c.tiles) << c.file;
    }
}

TEST(WorldProjection, KnownPlacesLandOnTheirTilePixels)
{
    // A source whose pixels tell where they are: red the column, green the row (of 256 x 128).
    SDL_Surface* source = Codecs::newRgb(256, 128);
    SDL_LockSurface(source);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 256; ++x) {
            Uint8* p = static_cast<Uint8*>(source->pixels) + y * source->pitch + 3 * x;
            p[0] = static_cast<Uint8>(x);
            p[1] = static_cast<Uint8>(y * 2);
            p[2] = 0;
        }
    SDL_UnlockSurface(source);
    const struct {
        double lon, lat;
    } places[] = {{0, 0}, {-74.0, 40.7}, {139.7, 35.7}, {-43.2, -22.9}, {100.5, 13.75}};
    const int z = 3;
    SDL_Surface* world = World::reproject(source, z);
    for (const auto& place : places) {
        int tx, ty;
        Package::tileOf(place.lon, place.lat, z, &tx, &ty);
        // The Web Mercator pixel of the place, by the textbook formula.
        const double size = 256.0 * (1 << z);
        const double rad = place.lat * M_PI / 180.0;
        const int gx = static_cast<int>((place.lon + 180.0) / 360.0 * size);
        const int gy = static_cast<int>((1.0 - std::asinh(std::tan(rad)) / M_PI) / 2.0 * size);
        EXPECT_EQ(gx / 256, tx);
        EXPECT_EQ(gy / 256, ty);
        SDL_LockSurface(world);
        const Uint8* p = static_cast<Uint8*>(world->pixels) + gy * world->pitch + 3 * gx;
        // The source pixel of that longitude and latitude.
        EXPECT_NEAR(p[0], (place.lon + 180.0) / 360.0 * 256 - 0.5, 1.5) << place.lon << "," << place.lat;
        EXPECT_NEAR(p[1] / 2.0, (90.0 - place.lat) / 180.0 * 128 - 0.5, 1.5) << place.lon << "," << place.lat;
        SDL_UnlockSurface(world);
    }
    SDL_FreeSurface(world);
    SDL_FreeSurface(source);
    double lon, lat;
    World::lonLatOf(127.5, 127.5, 0, &lon, &lat);
    EXPECT_NEAR(lon, 0, 1e-9);
    EXPECT_NEAR(lat, 0, 1e-9);
}

TEST(PackCheck, ArchivesAreWalkedAndEveryTileDecoded)
{
    TempDir dir;
    writeMBTiles("good.mbtiles", {{1, 0, 0, tilePng(1)}, {1, 1, 1, tilePng(2)}});
    writeMBTiles("bad.mbtiles", {{1, 0, 0, tilePng(1)}, {2, 1, 1, tilePng(2).substr(0, 60)}});
    std::ostringstream good, bad;
    EXPECT_TRUE(ArchiveReport::check("good.mbtiles", good, nullptr)) << good.str();
    EXPECT_NE(good.str().find("ok   level 1: 2 tiles, 0 undecodable\narchive is sound"), std::string::npos) << good.str();
    EXPECT_FALSE(ArchiveReport::check("bad.mbtiles", bad, nullptr));
    EXPECT_NE(bad.str().find("FAIL level 2: 1 tiles, 1 undecodable"), std::string::npos) << bad.str();
}
