#ifndef TESSEL_BENCH_PANSQUARE_H
#define TESSEL_BENCH_PANSQUARE_H

#include <benchmark/benchmark.h>

class FakeClock;
class Program;
class ScriptedEvents;

// One frame that bench/frame_cost.sh measures: callgrind counts each call.
void measuredFrame(Program* program);
// Works every waiting cell on the loader (manual mode), then passes once.
void settle(Program* program);
// Zooms in with the key until the map shows `level` (or cannot go deeper).
void zoomTo(Program* program, ScriptedEvents* keys, int level);
// Pans fast (an arrow and Shift held) round a square of 80 frames of 16 ms
// a side, the loader drawing one cell between frames, slower than its
// thread would; each frame is a measuredFrame().
void panSquare(benchmark::State& state, Program* program, ScriptedEvents* keys, FakeClock* clock);

#endif
