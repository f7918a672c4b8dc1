// Routes over a synthetic road network of a million nodes and over the
// Andorra extract: the route with every turn worded (what the viewer asks
// for), the first use of a database (its check and load), and the peak
// resident memory a route adds. The data is made once into the build tree
// with Debian's planetsplitter (about 20 s for the network).
#include "ConfParser.h"
#include "PlanetSplitter.h"
#include "RouteDataCheck.h"
#include "RouteDatabase.h"
#include "Router.h"
#include "SafeFile.h"
#include "TurnText.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

const std::string dataDir = std::string(TESSEL_BUILD_DIR) + "/bench-routes";

// A 50 km square of roads: junctions every 500 m (a trunk road every tenth
// line, a primary every fifth, residential streets between), each road
// between two junctions drawn with 49 shape points that wander 4 m either
// side, as real roads do (so none is pruned as straight): 1 000 001 nodes.
void writeNetwork(const std::string& path)
{
    const int junctions = 101, shape = 50;
    const double step = 500, mLat = 1 / 111320.0, mLon = 1 / (111320.0 * 0.7071);
    FILE* out = std::fopen(path.c_str(), "w");
    std::fprintf(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osm version=\"0.6\">\n");
    const auto node = [&](long id, double y, double x) {
        std::fprintf(out, " <node id=\"%ld\" lat=\"%.7f\" lon=\"%.7f\" version=\"1\"/>\n", id, 45 + y * mLat,
                     7 + x * mLon);
    };
    for (int a = 0; a < junctions; ++a)
        for (int b = 0; b < junctions; ++b)
            node(long(a) * junctions + b + 1, a * step, b * step);
    long id = long(junctions) * junctions + 1, way = 1;
    for (int a = 0; a < junctions; ++a)
        for (int b = 0; b + 1 < junctions; ++b)
            for (bool across : {true, false}) {
                std::string refs;
                const long from = across ? long(a) * junctions + b + 1 : long(b) * junctions + a + 1;
                const long to = across ? from + 1 : from + junctions;
                refs += "<nd ref=\"" + std::to_string(from) + "\"/>";
                for (int k = 1; k < shape; ++k, ++id) {
                    const double side = k % 2 ? 4 : -4, along = b * step + k * step / shape;
                    across ? node(id, a * step + side, along) : node(id, along, a * step + side);
                    refs += "<nd ref=\"" + std::to_string(id) + "\"/>";
                }
                refs += "<nd ref=\"" + std::to_string(to) + "\"/>";
                const char* kind = a % 10 == 0 ? "trunk" : a % 5 == 0 ? "primary" : "residential";
                std::fprintf(out, " <way id=\"%ld\" version=\"1\">%s<tag k=\"highway\" v=\"%s\"/>"
                                  "<tag k=\"name\" v=\"%s %d\"/></way>\n",
                             way++, refs.c_str(), kind, across ? "Row" : "Column", a);
            }
    std::fprintf(out, "</osm>\n");
    std::fclose(out);
}

// The routing folder for `name`, made on first use; empty when it cannot be.
std::string routingData(const std::string& name)
{
    const std::string dir = dataDir + "/" + name + ".routes";
    if (SafeFile::present(dir + "/nodes.mem"))
        return dir;
    mkdir(dataDir.c_str(), 0755);
    mkdir(dir.c_str(), 0755);
    std::string source = std::string(TESSEL_SOURCE_DIR) + "/../shared/fixtures/" + name + ".osm.pbf";
    if (name == "network") {
        source = dataDir + "/network.osm";
        writeNetwork(source);
    }
    std::string why;
    const bool made = SafeFile::present(source) && PlanetSplitter::run(source, dir, nullptr, nullptr, &why);
    if (name == "network")
        std::remove(source.c_str());
    return made ? dir : std::string();
}

TurnText::Texts english()
{
    auto conf = std::make_shared<ConfParser>(std::string(TESSEL_SOURCE_DIR) + "/lang/english.conf", 0);
    return [conf](const std::string& id) {
        std::string text;
        conf->value(id, &text);
        return text;
    };
}

long residentKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, std::strlen(field), field) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return 0;
}

// What the viewer asks for: the route, and every turn in words. Not
// inlined, so callgrind can count it alone (bench/route_cost.sh).
__attribute__((noinline)) std::size_t routeWithTexts(RouteDatabase& db, const RouteProfile& profile,
                                                       const double ends[4], const TurnText::Texts& texts,
                                                       Route* route)
{
    std::string why;
    if (Router().compute(db, profile, ends[0], ends[1], ends[2], ends[3], route, &why) != Router::found)
        return 0;
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < route->turns.size(); ++i)
        bytes += TurnText::describe(texts, *route, i).size();
    return bytes;
}

void routeBench(benchmark::State& state, const std::string& name, const double ends[4])
{
    const std::string dir = routingData(name);
    std::string why;
    std::unique_ptr<RouteDatabase> db = dir.empty() ? nullptr : RouteDatabase::open(dir, &why);
    if (!db) {
        state.SkipWithError(("no routing data for " + name + ": " + why).c_str());
        return;
    }
    const TurnText::Texts texts = english();
    RouteProfile car;
    Route route;
    // The peak the route adds to what the process held: the kernel's mark
    // is reset first (clear_refs 5).
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = residentKb("VmRSS:");
    routeWithTexts(*db, car, ends, texts, &route);
    const long peak = residentKb("VmHWM:");
    for (auto _ : state)
        benchmark::DoNotOptimize(routeWithTexts(*db, car, ends, texts, &route));
    state.counters["km"] = route.metres() / 1000;
    state.counters["turns"] = double(route.turns.size());
    state.counters["nodes"] = double(route.points.size());
    state.counters["peak_added_MB"] = double(peak - before) / 1024;
}

void BM_RouteNetwork50km(benchmark::State& state)
{
    const double ends[4] = {45.0, 7.0 + 2000 / (111320.0 * 0.7071), 45.0 + 22000 / 111320.0,
                            7.0 + 24000 / (111320.0 * 0.7071)};
    routeBench(state, "network", ends);
}
BENCHMARK(BM_RouteNetwork50km)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RouteAndorra38km(benchmark::State& state)
{
    const double ends[4] = {42.5425, 1.7330, 42.4633, 1.4906};
    routeBench(state, "andorra", ends);
}
BENCHMARK(BM_RouteAndorra38km)->Unit(benchmark::kMillisecond)->Iterations(10);

// The first use of a database: every file checked, then loaded.
void BM_RouteDataOpen(benchmark::State& state)
{
    const std::string dir = routingData("network");
    std::string why;
    for (auto _ : state) {
        std::unique_ptr<RouteDatabase> db = RouteDatabase::open(dir, &why);
        if (!db)
            state.SkipWithError(why.c_str());
    }
}
BENCHMARK(BM_RouteDataOpen)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
