#include "NetClock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace {

class MachineClock : public NetClock {
public:
    double now() override
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    void sleep(double seconds) override
    {
        if (seconds > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    long long unixTime() override { return static_cast<long long>(std::time(nullptr)); }
};

} // namespace

NetClock& NetClock::real()
{
    static MachineClock clock;
    return clock;
}
