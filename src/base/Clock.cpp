#include "Clock.h"

#include <chrono>
#include <algorithm>
#include <cmath>
#include <ctime>
#include <thread>

namespace {

class SystemClock : public Clock {
public:
    std::uint32_t ticks() override
    {
        const auto since = std::chrono::steady_clock::now() - start;
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
    void delay(std::uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    long long unixTime() override { return static_cast<long long>(std::time(nullptr)); }

private:
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

} // namespace

void Clock::sleep(double s)
{
    if (s > 0)
        delay(static_cast<std::uint32_t>(std::min(std::ceil(s * 1000.0), 4294967295.0)));
}

Clock* Clock::system()
{
    static SystemClock clock;
    return &clock;
}
