#ifndef TESSEL_CLOCK_H
#define TESSEL_CLOCK_H

#include <SDL.h>

// Where the program reads the time and waits. The program uses SdlClock;
// tests pass a clock they advance by hand, so nothing sleeps for real.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed start, as SDL tick counts.
    virtual Uint32 ticks() = 0;
    // Waits `ms` milliseconds.
    virtual void delay(Uint32 ms) = 0;
};

// SDL_GetTicks and SDL_Delay.
class SdlClock : public Clock {
public:
    Uint32 ticks() override { return SDL_GetTicks(); }
    void delay(Uint32 ms) override { SDL_Delay(ms); }

    // The one clock the program runs on.
    static SdlClock* instance()
    {
        static SdlClock clock;
        return &clock;
    }
};

#endif
