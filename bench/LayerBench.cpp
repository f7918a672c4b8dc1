// Pan frames on the main thread over the Monaco vector archive at level 16,
// alone and with an elevation archive laid over it (hill shading and
// contours at full opacity). The elevations are real: the SRTM tile of the
// fixtures turned into Terrarium tiles by the toolbox, moved tile for tile
// onto Monaco (no elevation data of Monaco is at hand). The loader runs
// between frames, untimed, as its thread would; bench/frame_cost.sh counts
// measuredFrame() with the filter BM_LayerPan.
#include "Archives.h"
#include "DemBuilder.h"
#include "FakeClock.h"
#include "Fonts.h"
#include "Mercator.h"
#include "MvtTiles.h"
#include "PanSquare.h"
#include "Program.h"
#include "TestSupport.h"
#include "TileArchive.h"

#include <SDL.h>
#include <algorithm>
#include <SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

const std::string fixtures = TESSEL_SOURCE_DIR "/../shared/fixtures/";
// Hisingen by Gothenburg: hills on land (the tile's middle is the sea,
// whose flat tiles the archive keeps once for a run of them).
const double monacoLon = 7.42, monacoLat = 43.73, demLon = 11.95, demLat = 57.72;

// The toolbox's archive of the SRTM tile, its tiles moved so that the
// place (demLon, demLat) lies on Monaco at every level.
bool writeRelief(const std::string& path)
{
    const std::string hgt = fixtures + "dem/N57E011.hgt";
    const std::string built = path + ".built.pmtiles";
    std::string error;
    if (!DemBuilder::build({hgt}, built, DemBuilder::Options(), &error))
        return false;
    const std::unique_ptr<TileArchive> archive = TileArchive::open(built, &error, TileArchive::Reading::tilesOnly);
    std::vector<std::tuple<int, int, int, std::string>> moved;
    if (!archive || !archive->forEachTile(
                        [&](int z, long long x, long long y, long long, const std::string& bytes) {
                            double fromX, fromY, toX, toY;
                            Mercator::toPixel(demLon, demLat, z, &fromX, &fromY);
                            Mercator::toPixel(monacoLon, monacoLat, z, &toX, &toY);
                            const long long mx = x + static_cast<long long>(toX / 256) - static_cast<long long>(fromX / 256);
                            const long long my = y + static_cast<long long>(toY / 256) - static_cast<long long>(fromY / 256);
                            if (mx >= 0 && my >= 0 && mx < (1LL << z) && my < (1LL << z))
                                moved.emplace_back(z, static_cast<int>(mx), static_cast<int>((1LL << z) - 1 - my), bytes);
                            return true;
                        },
                        &error))
        return false;
    writeMBTiles(path, moved, {{"name", "Relief"}, {"format", "png"}, {"encoding", "terrarium"}});
    std::filesystem::remove(built);
    return true;
}

struct LayerRunDir {
    LayerRunDir()
    {
        char pattern[] = "/tmp/tessel-layerbench-XXXXXX";
        dir = mkdtemp(pattern);
        std::string why;
        const std::string monaco = Mvt::monacoMBTiles(fixtures + "monaco.osm.pbf", TESSEL_BUILD_DIR, &why);
        const std::string lay = "bash " TESSEL_SOURCE_DIR "/scripts/lay-run-dir.sh " + dir + " " TESSEL_TEST_FONT;
        if (monaco.empty() || std::system(lay.c_str()) != 0 || chdir(dir.c_str()) != 0 ||
            symlink(monaco.c_str(), "maps/monaco.mbtiles") != 0 || !writeRelief("maps/relief.mbtiles"))
            std::abort();
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        SDL_Init(SDL_INIT_VIDEO);
        screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
        TTF_Init();
        fonts.open("media/font.ttf");
    }
    ~LayerRunDir() { std::filesystem::remove_all(dir); }
    std::string dir;
    SDL_Surface* screen = nullptr;
    Fonts fonts;
};

LayerRunDir& runDir()
{
    static LayerRunDir d;
    return d;
}

// Monaco at level 16, the relief laid or not; then a square pan, a side
// every 80 frames, the loader's work done between frames.
void panFrames(benchmark::State& state, bool relief)
{
    LayerRunDir& run = runDir();
    FakeClock clock;
    ScriptedEvents keys;
    Program program(run.screen, run.fonts, &keys, &clock);
    program.map.pipeline.setMode(TilePipeline::Mode::manual);
    program.toolBar.visible = false;
    const std::vector<std::string>& files = program.mapUI.packageFiles;
    const auto monaco = std::find(files.begin(), files.end(), "maps/monaco.mbtiles");
    if (monaco == files.end() || !program.mapUI.loadPackage(static_cast<int>(monaco - files.begin())))
        std::abort();
    std::string why;
    if (!program.map.layArchive("relief.mbtiles", relief ? 100 : 0, &why))
        std::abort();
    settle(&program);
    zoomTo(&program, &keys, 16);
    panSquare(state, &program, &keys, &clock);
    state.counters["terrain_cells"] = static_cast<double>(program.map.pipeline.composer->terrainCells);
}

void BM_LayerPanBase(benchmark::State& state)
{
    panFrames(state, false);
}
BENCHMARK(BM_LayerPanBase)->Iterations(320);

void BM_LayerPanTerrain(benchmark::State& state)
{
    panFrames(state, true);
}
BENCHMARK(BM_LayerPanTerrain)->Iterations(320);

} // namespace
