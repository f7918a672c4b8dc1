#include "PanSquare.h"

#include "FakeClock.h"
#include "Program.h"
#include "TestSupport.h"

__attribute__((noinline)) void measuredFrame(Program* program)
{
    program->pass();
}

void settle(Program* program)
{
    while (program->map.pipeline.loader->step()) {
    }
    program->pass();
}

void zoomTo(Program* program, ScriptedEvents* keys, int level)
{
    for (int step = 0; step < 20 && program->map.api->zoomValue() < level; ++step) {
        keys->key(SDLK_PLUS);
        keys->key(SDLK_PLUS, false);
        program->pass();
        settle(program);
    }
}

void panSquare(benchmark::State& state, Program* program, ScriptedEvents* keys, FakeClock* clock)
{
    keys->key(SDLK_LSHIFT);
    const SDLKey sides[] = {SDLK_RIGHT, SDLK_DOWN, SDLK_LEFT, SDLK_UP};
    int frame = 0;
    for (auto _ : state) {
        if (frame % 80 == 0) {
            if (frame > 0)
                keys->key(sides[(frame / 80 + 3) % 4], false);
            keys->key(sides[frame / 80 % 4]);
        }
        ++frame;
        program->map.pipeline.loader->step();
        clock->advance(16);
        measuredFrame(program);
    }
}
