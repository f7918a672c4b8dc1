// Routes over real routing data made from the OSM fixtures, checked against
// Debian's routino-router on the same data and ends; routing data damaged
// in every way the checks know, refused before the library maps it.
#include "Gpx.h"
#include "Route.h"
#include "RouteDataCheck.h"
#include "RouteDatabase.h"
#include "RouteFolders.h"
#include "RouteGpx.h"
#include "RouteStamp.h"
#include "RoutingData.h"
#include "Router.h"
#include "SafeFile.h"
#include "TestSupport.h"
#include "TurnText.h"
#include "ConfParser.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <functional>
#include <map>
#include <memory>

namespace {

std::string copyData(const std::string& from, const std::string& to)
{
    EXPECT_EQ(std::system(("rm -rf " + to + " && mkdir -p " + to + " && cp " + from + "/*.mem " + to).c_str()), 0);
    return to;
}

TurnText::Texts language(const std::string& name)
{
    auto conf = std::make_shared<ConfParser>(std::string(TESSEL_SOURCE_DIR) + "/lang/" + name + ".conf", 0);
    return [conf](const std::string& id) {
        std::string text;
        return conf->value(id, &text) && !text.empty() ? text : "lng{" + id + "}";
    };
}

// One important point of routino-router's text output.
struct Row {
    double lat, lon;
    int turn;
    bool hasTurn;
};

// Runs routino-router on the same data and ends; the total length in metres.
double referenceRoute(const std::string& dir, const char* transport, bool shortest, double la1, double lo1, double la2,
                      double lo2, std::vector<Row>* rows)
{
    char command[512];
    std::snprintf(command, sizeof command,
                  "routino-router --dir=%s --transport=%s --%s --lat1=%.6f --lon1=%.6f --lat2=%.6f --lon2=%.6f "
                  "--output-text --output-stdout --quiet",
                  dir.c_str(), transport, shortest ? "shortest" : "quickest", la1, lo1, la2, lo2);
    FILE* out = popen(command, "r");
    double metres = 0;
    char line[512];
    while (out && std::fgets(line, sizeof line, out)) {
        if (line[0] == '#')
            continue;
        std::vector<std::string> f;
        std::stringstream ss(line);
        for (std::string field; std::getline(ss, field, '\t');)
            f.push_back(field);
        if (f.size() < 8)
            continue;
        Row row{std::atof(f[0].c_str()), std::atof(f[1].c_str()), std::atoi(f[7].c_str()),
                f[7].find_first_of("0123456789") != std::string::npos};
        metres += std::atof(f[2].c_str()) * 1000;
        rows->push_back(row);
    }
    if (out)
        pclose(out);
    return metres;
}

} // namespace

// The same line and the same turns as routino-router: length within 0.5 %,
// every important point at its place with the same turn.
TEST(Routing, MatchesRoutinoRouterOnRealData)
{
    const struct {
        const char* area;
        RouteProfile::Transport transport;
        const char* routinoName;
        bool shortest;
        double la1, lo1, la2, lo2;
    } cases[] = {
        {"andorra", RouteProfile::car, "motorcar", false, 42.5425, 1.7330, 42.4633, 1.4906},
        {"andorra", RouteProfile::car, "motorcar", true, 42.5078, 1.5211, 42.4633, 1.4906},
        {"andorra", RouteProfile::foot, "foot", true, 42.5078, 1.5211, 42.4633, 1.4906},
        {"andorra", RouteProfile::bicycle, "bicycle", false, 42.5562, 1.5332, 42.5350, 1.5800},
        {"monaco", RouteProfile::car, "motorcar", false, 43.7400, 7.4270, 43.7285, 7.4140},
        {"monaco", RouteProfile::foot, "foot", true, 43.7310, 7.4200, 43.7480, 7.4350},
    };
    for (const auto& c : cases) {
        const std::string dir = routingData(c.area);
        if (dir.empty())
            GTEST_SKIP() << "no " << c.area << ".osm.pbf beside the project, no planetsplitter, or a big-endian machine";
        SCOPED_TRACE(std::string(c.area) + " " + c.routinoName);
        std::string why;
        std::unique_ptr<RouteDatabase> db = RouteDatabase::open(dir, &why);
        ASSERT_TRUE(db) << why;
        RouteProfile profile;
        profile.transport = c.transport;
        profile.shortest = c.shortest;
        Route route;
        ASSERT_EQ(Router().compute(*db, profile, c.la1, c.lo1, c.la2, c.lo2, &route, &why), Router::found) << why;
        std::vector<Row> rows;
        const double reference = referenceRoute(dir, c.routinoName, c.shortest, c.la1, c.lo1, c.la2, c.lo2, &rows);
        ASSERT_GT(reference, 0);
        EXPECT_NEAR(route.metres(), reference, reference * 0.005);
        ASSERT_EQ(route.turns.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const RoutePoint& p = route.points[route.turns[i].point];
            EXPECT_NEAR(p.lat, rows[i].lat, 5e-6) << "turn " << i;
            EXPECT_NEAR(p.lon, rows[i].lon, 5e-6) << "turn " << i;
            if (rows[i].hasTurn) {
                EXPECT_EQ((route.turns[i].angle + 22) / 45, rows[i].turn) << "turn " << i;
            }
        }
        EXPECT_EQ(route.turns.front().kind, RouteTurn::start);
        EXPECT_EQ(route.turns.back().kind, RouteTurn::arrive);
    }
}

// Every way a route can fail says why; none crashes or says nothing.
TEST(Routing, NoRouteSaysWhy)
{
    const std::string dir = routingData("monaco");
    if (dir.empty())
        GTEST_SKIP() << "no monaco.osm.pbf beside the project, no planetsplitter, or a big-endian machine";
    std::string why;
    std::unique_ptr<RouteDatabase> db = RouteDatabase::open(dir, &why);
    ASSERT_TRUE(db) << why;
    RouteProfile car;
    Route route;
    Router router;
    // In the sea, south of the harbour.
    EXPECT_EQ(router.compute(*db, car, 43.70, 7.43, 43.7400, 7.4270, &route, &why), Router::noRoadNearStart);
    EXPECT_NE(why.find("near the start"), std::string::npos);
    EXPECT_EQ(router.compute(*db, car, 43.7400, 7.4270, 43.70, 7.43, &route, &why), Router::noRoadNearEnd);
    // 1000 km away: no data covers it, and the library finds no road there.
    EXPECT_EQ(router.compute(*db, car, 43.7400, 7.4270, 52.52, 13.40, &route, &why), Router::noRoadNearEnd);
    RouteFolders folders;
    folders.entries.push_back({dir, db->area});
    EXPECT_EQ(folders.covering(43.7400, 7.4270, 52.52, 13.40), "");
    EXPECT_EQ(folders.covering(43.7400, 7.4270, 43.7285, 7.4140), dir);
    // Cancelled through the progress callback before it starts.
    std::atomic<bool> cancel{true};
    router.cancel = &cancel;
    EXPECT_EQ(router.compute(*db, car, 43.7400, 7.4270, 43.7285, 7.4140, &route, &why), Router::cancelled);
    router.cancel = nullptr;
    // A profiles file that does not parse, then the shipped one again.
    TempDir temp;
    std::ofstream(temp.path("profiles.xml")) << "<?xml version=\"1.0\"?><routino-profiles><profile name=";
    router.profilesFile = temp.path("profiles.xml");
    EXPECT_EQ(router.compute(*db, car, 43.7400, 7.4270, 43.7285, 7.4140, &route, &why), Router::badProfile);
    EXPECT_NE(why.find("profiles.xml"), std::string::npos);
    router.profilesFile = Router().profilesFile;
    EXPECT_EQ(router.compute(*db, car, 43.7400, 7.4270, 43.7285, 7.4140, &route, &why), Router::found) << why;
}

namespace {

void patch(const std::string& file, long at, std::uint32_t value)
{
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(at < 0 ? 0 : at, at < 0 ? std::ios::end : std::ios::beg);
    if (at < 0)
        f.seekp(at, std::ios::end);
    f.write(reinterpret_cast<const char*>(&value), 4);
}

} // namespace

// Damaged, truncated and foreign routing data is refused with the file
// named, before the library maps it; the sound data still routes after.
TEST(Routing, DamagedDataIsRefused)
{
    const std::string dir = routingData("andorra");
    if (dir.empty())
        GTEST_SKIP() << "no andorra.osm.pbf beside the project, no planetsplitter, or a big-endian machine";
    TempDir temp;
    const std::string copy = temp.path("data");
    // Offsets: nodes header 16, then 49 bin offsets, then 12-byte nodes;
    // segments header 12, then 20-byte segments; ways header 12, then 16-byte ways.
    const long firstNode = 16 + 49 * 4;
    const struct {
        const char* what;
        const char* file;
        std::function<void(const std::string&)> damage;
    } cases[] = {
        {"empty", "nodes.mem", [](const std::string& f) { (void)truncate(f.c_str(), 0); }},
        {"half", "segments.mem", [](const std::string& f) { (void)truncate(f.c_str(), 234186); }},
        {"one byte short", "ways.mem", [](const std::string& f) { (void)truncate(f.c_str(), 17080); }},
        {"one byte short", "relations.mem", [](const std::string& f) { (void)truncate(f.c_str(), 227); }},
        {"missing", "nodes.mem", [](const std::string& f) { std::remove(f.c_str()); }},
        {"a directory", "ways.mem", [](const std::string& f) { std::remove(f.c_str()); mkdir(f.c_str(), 0700); }},
        {"other bins", "nodes.mem", [](const std::string& f) { patch(f, 8, 0x00080007); }},
        {"bins out of order", "nodes.mem", [](const std::string& f) { patch(f, 16 + 4, 30000); }},
        {"node's segment", "nodes.mem", [=](const std::string& f) { patch(f, firstNode + 12 * 100, 23418); }},
        {"turn restriction without relations", "nodes.mem",
         [=](const std::string& f) { patch(f, firstNode + 12 * 100 + 8, 0x100003ffu); }},
        {"unknown node flag", "nodes.mem", [=](const std::string& f) { patch(f, firstNode + 12 * 100 + 8, 0x000103ffu); }},
        {"segment's node", "segments.mem", [](const std::string& f) { patch(f, 12 + 20 * 5 + 4, 0xfffffff0u); }},
        {"segment's way", "segments.mem", [](const std::string& f) { patch(f, 12 + 20 * 5 + 12, 633); }},
        {"link backwards", "segments.mem", [](const std::string& f) { patch(f, 12 + 20 * 500 + 8, 3); }},
        {"unsorted", "segments.mem", [](const std::string& f) { patch(f, 12 + 20 * 500, 21000); }},
        {"name outside", "ways.mem", [](const std::string& f) { patch(f, 12 + 16 * 7, 7000); }},
        {"unknown type", "ways.mem", [](const std::string& f) { patch(f, 12 + 16 * 7 + 4, 0x001f03fa); }},
        {"names not ended", "ways.mem", [](const std::string& f) { patch(f, -4, 0x41414141); }},
        {"relation's node", "relations.mem", [](const std::string& f) { patch(f, 4 + 16 * 3 + 4, 21380); }},
        {"other count", "relations.mem", [](const std::string& f) { patch(f, 0, 15); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ": " + c.what);
        copyData(dir, copy);
        c.damage(copy + "/" + c.file);
        std::string why;
        EXPECT_FALSE(RouteDatabase::open(copy, &why));
        EXPECT_NE(why.find(c.file), std::string::npos) << why;
        std::system(("rm -rf " + copy).c_str());
    }
    // Data stamped by another version of the library or a machine of the other byte order.
    for (const char* stamp : {"routino=3.2\n", "routino=3.3.3\nbyte_order=middle-endian\n"}) {
        copyData(dir, copy);
        std::ofstream(copy + "/routes.conf") << stamp;
        std::string why;
        EXPECT_FALSE(RouteDatabase::open(copy, &why));
        EXPECT_NE(why.find("make the routing data again"), std::string::npos) << why;
    }
    copyData(dir, copy);
    RouteStamp::current(RouteArea()).write(copy);
    std::string why;
    std::unique_ptr<RouteDatabase> db = RouteDatabase::open(copy, &why);
    ASSERT_TRUE(db) << why;
    Route route;
    EXPECT_EQ(Router().compute(*db, RouteProfile(), 42.5078, 1.5211, 42.4633, 1.4906, &route, &why), Router::found);
}

// Bytes changed at random are refused or route without harm.
TEST(Routing, RandomDamageNeverCrashes)
{
    const std::string dir = routingData("monaco");
    if (dir.empty())
        GTEST_SKIP() << "no monaco.osm.pbf beside the project, no planetsplitter, or a big-endian machine";
    TempDir temp;
    const std::string copy = temp.path("data");
    std::srand(7);
    int refused = 0;
    for (int round = 0; round < 60; ++round) {
        copyData(dir, copy);
        const char* file = RouteDataCheck::fileNames[round % RouteDataCheck::fileCount];
        const std::string path = copy + "/" + file;
        struct stat st;
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        for (int k = 0; k < 4; ++k)
            patch(path, std::rand() % std::max<long>(1, st.st_size - 4), std::uint32_t(std::rand()));
        std::string why;
        std::unique_ptr<RouteDatabase> db = RouteDatabase::open(copy, &why);
        if (!db) {
            ++refused;
            continue;
        }
        Route route;
        Router().compute(*db, RouteProfile(), 43.7400, 7.4270, 43.7285, 7.4140, &route, &why);
    }
    EXPECT_GT(refused, 0);
}

// The turn texts are complete in every language, every kind of turn worded.
TEST(Routing, TurnTextsInEveryLanguage)
{
    Route route;
    for (int i = 0; i < 9; ++i)
        route.points.push_back({43.0 + i * 0.001, 7.0, i * 350.0, i * 30.0});
    const RouteTurn::Kind kinds[] = {RouteTurn::start,          RouteTurn::junction,       RouteTurn::junction,
                                     RouteTurn::roundabout,     RouteTurn::leaveRoundabout, RouteTurn::miniRoundabout,
                                     RouteTurn::uturn,          RouteTurn::junction,       RouteTurn::arrive};
    const int angles[] = {0, -90, 40, 10, 0, -5, 180, 130, 0};
    for (int i = 0; i < 9; ++i) {
        RouteTurn t;
        t.kind = kinds[i];
        t.point = std::size_t(i);
        t.angle = angles[i];
        t.bearing = 230;
        t.exit = i == 3 || i == 4 ? 2 : 0;
        t.way = i == 1 ? "Carrer Major" : "";
        t.roadClass = i == 2 ? 3 : 0;
        route.turns.push_back(t);
    }
    const auto english = language("english");
    EXPECT_EQ(TurnText::describe(english, route, 0), "head southwest");
    EXPECT_EQ(TurnText::describe(english, route, 1), "in 350 m turn left onto Carrer Major");
    EXPECT_EQ(TurnText::describe(english, route, 2), "in 350 m bear right onto the main road");
    EXPECT_EQ(TurnText::describe(english, route, 3), "in 350 m at the roundabout take exit 2");
    EXPECT_EQ(TurnText::describe(english, route, 8), "in 350 m arrive at the destination");
    EXPECT_EQ(TurnText::distance(english, 12345), "12 km");
    EXPECT_EQ(TurnText::duration(english, 3900), "1 h 05 min");
    EXPECT_EQ(TurnText::describe(language("czech"), route, 1), "za 350 m odbočte vlevo na Carrer Major");
    EXPECT_EQ(TurnText::distance(language("german"), 1500), "1,5 km");
    // Every text id of the English file is in the others, and no text is missing.
    ConfParser reference(std::string(TESSEL_SOURCE_DIR) + "/lang/english.conf", 0);
    for (const char* name : {"english", "czech", "german"}) {
        const auto texts = language(name);
        for (const ConfParameter& p : reference.parameters)
            if (p.name.compare(0, 6, "route_") == 0) {
                EXPECT_EQ(texts(p.name).find("lng{"), std::string::npos) << name << " " << p.name;
            }
        for (std::size_t i = 0; i < route.turns.size(); ++i)
            EXPECT_EQ(TurnText::describe(texts, route, i).find("lng{"), std::string::npos) << name << " " << i;
    }
}

// A saved route reads back as GPX: the turns as a route, the line as a track;
// nothing is left beside it.
TEST(Routing, SavedRouteIsGpx)
{
    TempDir temp;
    Route route;
    for (int i = 0; i < 5; ++i)
        route.points.push_back({43.0 + i * 0.001, 7.0 + i * 0.001, i * 140.0, i * 10.0});
    RouteTurn start, end;
    start.kind = RouteTurn::start;
    start.way = "Rue <Grimaldi> & \"Co\"";
    end.kind = RouteTurn::arrive;
    end.point = 4;
    route.turns = {start, end};
    std::string why;
    ASSERT_TRUE(RouteGpx::save(temp.path("route.gpx"), RouteGpx::text(route, language("english"), "A route"), &why));
    EXPECT_EQ(temp.files(), std::vector<std::string>{"route.gpx"});
    GpxData gpx;
    ASSERT_TRUE(Gpx::parse(readFile(temp.path("route.gpx")), &gpx, &why)) << why;
    ASSERT_EQ(gpx.lines.size(), 2u);
    EXPECT_EQ(gpx.lines[0].size(), 2u);
    EXPECT_EQ(gpx.lines[1].size(), 5u);
    EXPECT_NEAR(gpx.lines[1][4].lat, 43.004, 1e-9);
    EXPECT_NE(readFile(temp.path("route.gpx")).find("head north on Rue &lt;Grimaldi&gt; &amp; &quot;Co&quot;"),
              std::string::npos);
    EXPECT_FALSE(RouteGpx::save(temp.path("missing/route.gpx"), "x", &why));
    EXPECT_NE(why.find("missing/route.gpx"), std::string::npos);
}
