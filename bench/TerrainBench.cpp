// Terrain on the loader thread and track figures: one 256 px cell of dense
// alpine ground shaded, its contours traced and drawn; a 100 000-point
// track's figures and profile; 100 000 elevations from an archive. Each
// benchmark runs a fixed number of calls of a measured*() function, so
// bench/terrain_cost.sh can count one call's instructions with callgrind.
#include "Archives.h"
#include "ContourPainter.h"
#include "Contours.h"
#include "ElevationProfile.h"
#include "ElevationSource.h"
#include "HillShade.h"
#include "Mercator.h"
#include "Terrain.h"
#include "TrackFigures.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <cmath>
#include <unistd.h>

namespace {

const int calls = 20;

ElevationBlock alpineBlock(int edge)
{
    ElevationBlock block;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            block.tiles[r][c] = tileOf(edge, alpine, (c - 1) * edge, (r - 1) * edge);
    return block;
}

__attribute__((noinline)) void measuredShade(const ElevationBlock& block, int deeper, Bitmap* out)
{
    ElevationGrid grid;
    ElevationGrid::build(block, 256, deeper, deeper ? 1 : 0, deeper ? 2 : 0, &grid);
    HillShade::draw(grid, HillShade::scaleOf(14, 5800, 256), out);
}

void BM_TerrainShadeCell(benchmark::State& state)
{
    const ElevationBlock block = alpineBlock(256);
    Bitmap out;
    HillShade::alphaOf(0, 0); // the tables, made once per run
    for (auto _ : state) {
        measuredShade(block, static_cast<int>(state.range(0)), &out);
        benchmark::DoNotOptimize(out.alpha.data());
    }
}
BENCHMARK(BM_TerrainShadeCell)->ArgName("deeper")->Arg(0)->Arg(2)->Iterations(calls);

__attribute__((noinline)) std::size_t measuredContours(const ElevationBlock& block, cairo_t* cr, bool draw)
{
    ElevationGrid grid;
    ElevationGrid::build(block, 256, 0, 0, 0, &grid);
    const std::vector<ContourLine> lines = Contours::trace(grid, Contours::intervalAt(14));
    if (draw)
        ContourPainter::draw(cr, lines, 256, ContourPainter::Style());
    return lines.size();
}

void BM_TerrainContoursCell(benchmark::State& state)
{
    const ElevationBlock block = alpineBlock(256);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 256, 256);
    cairo_t* cr = cairo_create(surface);
    ContourPainter::draw(cr, {}, 256, ContourPainter::Style()); // the font, loaded once per thread
    const bool draw = state.range(0) != 0;
    std::size_t lines = 0;
    for (auto _ : state)
        lines = measuredContours(block, cr, draw);
    state.counters["lines"] = static_cast<double>(lines);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_TerrainContoursCell)->ArgName("draw")->Arg(0)->Arg(1)->Iterations(calls);

__attribute__((noinline)) bool measuredDecode(const std::string& png, ElevationTile* out)
{
    std::string why;
    return ElevationTile::decode(png, ElevationEncoding::terrarium, out, &why);
}

void BM_TerrainDecodeTile(benchmark::State& state)
{
    const std::string png = terrariumTile(256, alpine);
    ElevationTile tile;
    for (auto _ : state)
        benchmark::DoNotOptimize(measuredDecode(png, &tile));
}
BENCHMARK(BM_TerrainDecodeTile)->Iterations(calls);

// A day's hike of 100 000 points (one a second) around Chamonix.
std::vector<TrackPoint> hike()
{
    std::vector<TrackPoint> out;
    for (int i = 0; i < 100000; ++i) {
        TrackPoint p;
        const double t = i / 100000.0;
        p.lon = 6.85 + 0.05 * t + 0.004 * std::sin(i * 0.003);
        p.lat = 45.9 + 0.03 * std::sin(t * 6) + 0.002 * std::cos(i * 0.0041);
        p.elevation = 1500 + 800 * std::sin(t * 9) + 20 * std::sin(i * 0.05) + 0.3 * std::sin(i * 1.7);
        p.time = 1.7e9 + i;
        out.push_back(p);
    }
    return out;
}

__attribute__((noinline)) double measuredFigures(const std::vector<TrackPoint>& points)
{
    TrackFigures figures;
    for (std::size_t i = 0; i < points.size(); ++i)
        figures.add(points[i], i == 0);
    const ElevationProfile profile = ElevationProfile::build(figures.along(), figures.elevations(), 320);
    return figures.summary().ascent + profile.highest;
}

void BM_TerrainTrackFigures100k(benchmark::State& state)
{
    const std::vector<TrackPoint> points = hike();
    for (auto _ : state)
        benchmark::DoNotOptimize(measuredFigures(points));
}
BENCHMARK(BM_TerrainTrackFigures100k)->Iterations(calls);

__attribute__((noinline)) std::size_t measuredFill(ElevationSource& dem, std::vector<TrackPoint>* points)
{
    return dem.fill(points);
}

void BM_TerrainFillElevations100k(benchmark::State& state)
{
    // Level 12 tiles of alpine ground under the hike, in an MBTiles archive.
    char dir[] = "/tmp/tessel-terrain-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const std::string path = std::string(dir) + "/alps.mbtiles";
    std::vector<std::tuple<int, int, int, std::string>> tiles;
    double x0, y0, x1, y1;
    Mercator::toPixel(6.84, 45.94, 12, &x0, &y0);
    Mercator::toPixel(6.91, 45.86, 12, &x1, &y1);
    for (int x = static_cast<int>(x0 / 256); x <= static_cast<int>(x1 / 256); ++x)
        for (int y = static_cast<int>(y0 / 256); y <= static_cast<int>(y1 / 256); ++y)
            tiles.emplace_back(12, x, (1 << 12) - 1 - y, terrariumTile(256, alpine, x * 256, y * 256));
    writeMBTiles(path, tiles, {{"name", "alps"}, {"format", "png"}, {"encoding", "terrarium"}});
    std::string why;
    std::unique_ptr<ElevationSource> dem = ElevationSource::open(path, ElevationEncoding::none, &why);
    std::vector<TrackPoint> points = hike();
    for (TrackPoint& p : points)
        p.elevation = NAN;
    std::size_t filled = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<TrackPoint> copy = points;
        state.ResumeTiming();
        filled = measuredFill(*dem, &copy);
    }
    state.counters["filled"] = static_cast<double>(filled);
    unlink(path.c_str());
    rmdir(dir);
}
BENCHMARK(BM_TerrainFillElevations100k)->Iterations(calls);

} // namespace
