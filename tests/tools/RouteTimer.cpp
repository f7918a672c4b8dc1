// Not a test: times a route as the viewer computes it (the route and every
// turn worded), for bench/route_cost.sh, natively and under qemu-arm where
// Google Benchmark is not built. The database is opened (checked, loaded)
// once, then the route computed RUNS times: each run's milliseconds, the
// median and the worst, the first use's cost, and the process's peak
// resident size. Besides the wall clock, the thread's own CPU time: on a
// busy machine (or an emulator sharing it) that is what the route would
// take on a core of its own.
// Usage: tessel_route_timer DATA LAT,LON LAT,LON [RUNS] [foot|bicycle|car]
#include "ConfParser.h"
#include "RouteDatabase.h"
#include "Router.h"
#include "TurnText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <time.h>
#include <vector>

namespace {

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

long peakKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, 6, "VmHWM:") == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    double ends[4];
    if (argc < 4 || std::sscanf(argv[2], "%lf,%lf", &ends[0], &ends[1]) != 2 ||
        std::sscanf(argv[3], "%lf,%lf", &ends[2], &ends[3]) != 2) {
        std::fprintf(stderr, "usage: tessel_route_timer DATA LAT,LON LAT,LON [RUNS] [foot|bicycle|car]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 10;
    RouteProfile profile;
    if (argc > 5 && !RouteProfile::parse(argv[5], &profile.transport))
        return 2;
    const ConfParser lang(std::string(TESSEL_SOURCE_DIR) + "/lang/english.conf", 0);
    const TurnText::Texts texts = [&lang](const std::string& id) {
        std::string text;
        lang.value(id, &text);
        return text;
    };
    auto start = std::chrono::steady_clock::now();
    std::string why;
    std::unique_ptr<RouteDatabase> db = RouteDatabase::open(argv[1], &why);
    if (!db) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    std::printf("first use (check and load): %.1f ms\n", since(start));
    std::vector<double> times, cpu;
    Route route;
    std::size_t words = 0;
    for (int i = 0; i < runs; ++i) {
        start = std::chrono::steady_clock::now();
        const double cpuStart = cpuMs();
        if (Router().compute(*db, profile, ends[0], ends[1], ends[2], ends[3], &route, &why) != Router::found) {
            std::fprintf(stderr, "%s\n", why.c_str());
            return 1;
        }
        for (std::size_t t = 0; t < route.turns.size(); ++t)
            words += TurnText::describe(texts, route, t).size();
        times.push_back(since(start));
        cpu.push_back(cpuMs() - cpuStart);
        std::printf("run %d: %.1f ms (CPU %.1f ms)\n", i + 1, times.back(), cpu.back());
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%.2f km, %zu turns (%zu bytes of text): median %.1f ms, worst %.1f ms (CPU: median %.1f ms, worst "
                "%.1f ms), peak resident %.1f MB\n",
                route.metres() / 1000, route.turns.size(), words / runs, times[times.size() / 2], times.back(),
                cpu[cpu.size() / 2], cpu.back(), peakKb() / 1024.0);
    return 0;
}
