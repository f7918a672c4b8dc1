#ifndef TESSEL_NETCLOCK_H
#define TESSEL_NETCLOCK_H

// The time that paces requests: the real one, or a test's that moves on
// when asked to wait instead of sleeping.
class NetClock {
public:
    virtual ~NetClock() = default;
    virtual double now() = 0; // seconds, from any fixed start
    virtual void sleep(double seconds) = 0;
    // Unix time, for dates in headers.
    virtual long long unixTime() = 0;

    // The machine's clocks.
    static NetClock& real();
};

#endif
