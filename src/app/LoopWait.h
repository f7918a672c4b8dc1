#ifndef TESSEL_LOOPWAIT_H
#define TESSEL_LOOPWAIT_H

#include <cstdint>

class Program;

// How long the main loop may sleep after a pass: while nothing moves by
// itself, only an event, a hand-over from the loader, the track reader or
// the gps worker (each wakes the loop), or the next time something is due
// to change on screen can change what is drawn.
namespace LoopWait {

// 0: pass again at the frame cap's pace (a pan, rolling text); -1: nothing
// is due; else milliseconds until the first thing due at `now`.
int msUntilDue(const Program& program, std::uint32_t now);

} // namespace LoopWait

#endif
