// Showing the 320x240 canvas in a window twice its size: the scaler alone
// into 16 and 32-bit windows, and the whole presentation (scaler, then
// SDL_UpdateRect) of a real window opened at 16 bits, which SDL converts
// through a shadow surface on a deeper display, against one opened at the
// display's depth. bench/present_cost.sh counts both under a 24-bit X server.
#include "CanvasScaler.h"
#include "Display.h"

#include <SDL.h>
#include <benchmark/benchmark.h>
#include <cstdlib>

namespace {

void BM_ScaleInto(benchmark::State& state)
{
    const int bits = static_cast<int>(state.range(0));
    SDL_Surface* canvas = SDL_CreateRGBSurface(SDL_SWSURFACE, 320, 240, 16, 0xf800, 0x07e0, 0x001f, 0);
    SDL_Surface* window = bits == 16 ? SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 16, 0xf800, 0x07e0, 0x001f, 0)
                                     : SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xff0000, 0xff00, 0xff, 0);
    CanvasScaler scaler;
    scaler.prepare(window->format);
    const SDL_Rect whole{0, 0, 320, 240};
    for (auto _ : state)
        scaler.copy(canvas, whole, window, 2, 0, 0);
    SDL_FreeSurface(window);
    SDL_FreeSurface(canvas);
}
BENCHMARK(BM_ScaleInto)->ArgName("bits")->Arg(16)->Arg(32);

// Named apart so that one callgrind profile tells the two paths apart.
__attribute__((noinline)) void presentThroughShadow(Display* d, const SDL_Rect& box) { d->show(box); }
__attribute__((noinline)) void presentAtDisplayDepth(Display* d, const SDL_Rect& box) { d->show(box); }

void BM_PresentFrame(benchmark::State& state)
{
    const bool native = state.range(0) != 0;
    if (!std::getenv("DISPLAY"))
        setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) < 0)
        return state.SkipWithError("no video");
    Display display;
    display.depth = native ? 0 : 16;
    if (!display.open(2, false))
        return state.SkipWithError("no window");
    for (int i = 0; i < 320 * 240; ++i)
        static_cast<Uint16*>(display.canvas->pixels)[i] = static_cast<Uint16>(i * 40503u);
    const SDL_Rect whole{0, 0, 320, 240};
    for (auto _ : state)
        (native ? presentAtDisplayDepth : presentThroughShadow)(&display, whole);
    state.counters["window_bits"] = display.window->format->BitsPerPixel;
}
BENCHMARK(BM_PresentFrame)->ArgName("display_depth")->Arg(0)->Arg(1)->Iterations(40);

} // namespace
