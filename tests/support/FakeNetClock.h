#ifndef TESSEL_TEST_FAKENETCLOCK_H
#define TESSEL_TEST_FAKENETCLOCK_H

#include "NetClock.h"

#include <vector>

// Time that moves only when a wait is asked for; waits are recorded.
class FakeNetClock : public NetClock {
public:
    double now() override { return t; }
    void sleep(double seconds) override
    {
        waits.push_back(seconds);
        t += seconds;
    }
    long long unixTime() override { return 1700000000 + static_cast<long long>(t); }

    double t = 0;
    std::vector<double> waits;
};

#endif
