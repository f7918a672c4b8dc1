#ifndef TESSEL_TEST_FAKECLOCK_H
#define TESSEL_TEST_FAKECLOCK_H

#include "Clock.h"

#include <cstdint>
#include <vector>

// A clock that moves only when told; delays advance it and are recorded.
class FakeClock : public Clock {
public:
    explicit FakeClock(std::uint32_t start = 1000) : now(start) {}
    std::uint32_t ticks() override { return now; }
    void delay(std::uint32_t ms) override
    {
        delays.push_back(ms);
        now += ms;
    }
    long long unixTime() override { return 1700000000 + now / 1000; }
    void advance(std::uint32_t ms) { now += ms; }

    std::uint32_t now;
    std::vector<std::uint32_t> delays;
};

#endif
