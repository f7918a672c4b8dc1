#ifndef TESSEL_CLOCK_H
#define TESSEL_CLOCK_H

#include <cstdint>

// Where the program and the toolbox read the time and wait. They run on
// Clock::system(); tests pass a clock they advance by hand, so nothing
// sleeps for real.
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed start; it wraps after 49 days, so
    // compare differences, never two readings.
    virtual std::uint32_t ticks() = 0;
    // Waits `ms` milliseconds.
    virtual void delay(std::uint32_t ms) = 0;
    // Seconds since 1970, for dates in headers.
    virtual long long unixTime() = 0;

    // ticks() in seconds.
    double seconds() { return ticks() / 1000.0; }
    // Waits `s` seconds, rounded up to a millisecond; nothing when s <= 0.
    void sleep(double s);

    // The machine's clocks: a monotonic one from the first reading, and
    // the calendar.
    static Clock* system();
};

#endif
