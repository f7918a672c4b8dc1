// Showing the 320x240 screen in a window twice its size, against drawing a
// frame of the map itself (see FrameBench's steady pan).
#include "Display.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

namespace {

void BM_ShowScaled(benchmark::State& state)
{
    const int scale = static_cast<int>(state.range(0));
    SDL_Surface* canvas = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
    SDL_Surface* window = SDL_CreateRGBSurface(SDL_SWSURFACE, 320 * scale, 240 * scale, 16, 0xf800, 0x07e0, 0x001f, 0);
    const SDL_Rect whole{0, 0, 320, 240};
    for (auto _ : state)
        Display::scaleInto(canvas, whole, window, scale, 0, 0);
    SDL_FreeSurface(window);
    SDL_FreeSurface(canvas);
}
BENCHMARK(BM_ShowScaled)->ArgName("scale")->Arg(2)->Arg(3);

} // namespace
