// Drawing a GPX track of 100 000 points over a view, at a level where it
// spans many screens and at one where it fits in one.
#include "Mercator.h"
#include "Tracks.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

Tracks hugeTrack()
{
    Tracks tracks;
    Tracks::File file;
    std::vector<LonLat> line;
    // A wandering walk around Prague, about 40 km across.
    for (int i = 0; i < 100000; ++i) {
        const double t = i / 100000.0;
        line.push_back(LonLat{14.2 + 0.4 * t + 0.02 * std::sin(i * 0.01), 50.0 + 0.1 * std::sin(t * 20) + 0.01 * std::cos(i * 0.013)});
    }
    file.data.lines.push_back(line);
    tracks.add(file);
    return tracks;
}

void BM_DrawTrack100k(benchmark::State& state)
{
    const int z = static_cast<int>(state.range(0));
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
    Tracks tracks = hugeTrack();
    double x, y;
    Mercator::toPixel(14.4, 50.0, z, &x, &y);
    tracks.draw(screen, z, x - 160, y - 120, nullptr, false); // projected once for the level
    for (auto _ : state)
        tracks.draw(screen, z, x - 160, y - 120, nullptr, false);
    SDL_FreeSurface(screen);
}
BENCHMARK(BM_DrawTrack100k)->ArgName("z")->Arg(9)->Arg(16);

} // namespace
