// The route worker, driven step by step and on its thread, and following a
// route with fixes: the next turn, leaving the route, arriving.
#include "ConfParser.h"
#include "RouteFollower.h"
#include "RouteMessage.h"
#include "RouteWorker.h"
#include "RoutingData.h"
#include "TestSupport.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <vector>

namespace {

RouteRequest monacoRequest(const std::string& maps)
{
    RouteRequest r;
    r.mapsDir = maps;
    r.fromLat = 43.7400, r.fromLon = 7.4270, r.toLat = 43.7285, r.toLon = 7.4140;
    return r;
}

// A maps folder holding the Monaco routing data under a *.routes name.
bool layMaps(const TempDir& temp)
{
    const std::string data = routingData("monaco");
    return !data.empty() &&
           std::system(("mkdir -p " + temp.path("maps") + " && ln -s " + data + " " + temp.path("maps/monaco.routes"))
                           .c_str()) == 0;
}

} // namespace

TEST(RouteWorker, StepsThroughRequestsKeepingOnlyTheLatest)
{
    TempDir temp;
    if (!layMaps(temp))
        GTEST_SKIP() << "no monaco.osm.pbf beside the project, no planetsplitter, or a big-endian machine";
    RouteWorker worker;
    RouteResult result;
    EXPECT_FALSE(worker.step());
    RouteRequest first = monacoRequest(temp.path("maps"));
    first.id = 1;
    RouteRequest second = first;
    second.id = 2;
    second.profile.transport = RouteProfile::foot;
    worker.want(first);
    worker.want(second);
    EXPECT_TRUE(worker.busy());
    EXPECT_TRUE(worker.step());
    EXPECT_FALSE(worker.step());
    ASSERT_TRUE(worker.take(&result));
    EXPECT_FALSE(worker.take(&result));
    EXPECT_EQ(result.id, 2u);
    EXPECT_EQ(result.outcome, Router::found) << result.why;
    EXPECT_GT(result.route.metres(), 1000);
    // Escape: nothing is computed and nothing comes back.
    worker.want(first);
    worker.cancel();
    EXPECT_FALSE(worker.step());
    EXPECT_FALSE(worker.take(&result));
    // Ends no routing folder covers, and a maps folder without any.
    RouteRequest far = first;
    far.toLat = 48.85, far.toLon = 2.35;
    worker.want(far);
    worker.step();
    ASSERT_TRUE(worker.take(&result));
    EXPECT_EQ(result.data, RouteResult::noneCovering);
    EXPECT_NE(result.why.find("covers both"), std::string::npos);
    worker.want(monacoRequest(temp.path("nothing")));
    worker.step();
    ASSERT_TRUE(worker.take(&result));
    EXPECT_NE(result.why.find("no routing data"), std::string::npos);
    worker.release();
}

TEST(RouteWorker, ComputesOnItsThread)
{
    TempDir temp;
    if (!layMaps(temp))
        GTEST_SKIP() << "no monaco.osm.pbf beside the project, no planetsplitter, or a big-endian machine";
    RouteWorker worker;
    worker.start();
    RouteRequest request = monacoRequest(temp.path("maps"));
    request.id = 7;
    RouteResult result;
    for (int round = 0; round < 3; ++round) {
        worker.want(request);
        bool got = false;
        // Polled with a bound far above what a route of Monaco needs.
        for (int i = 0; i < 30000 && !got; ++i) {
            got = worker.take(&result);
            if (!got)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(got);
        EXPECT_EQ(result.outcome, Router::found) << result.why;
        EXPECT_EQ(result.id, 7u);
        worker.release();
    }
    worker.stop();
}

TEST(RouteFollower, NextTurnLeavingAndArriving)
{
    // Due north along a meridian, 1 km, a turn halfway.
    Route route;
    for (int i = 0; i <= 10; ++i)
        route.points.push_back({45.0 + i * 100 / 111320.0, 7.0, i * 100.0, i * 10.0});
    RouteTurn start, turn, end;
    start.kind = RouteTurn::start;
    turn.point = 5;
    end.kind = RouteTurn::arrive;
    end.point = 10;
    route.turns = {start, turn, end};
    RouteFollower follower;
    EXPECT_EQ(follower.fix(45, 7), RouteFollower::none);
    follower.follow(route);
    const double east = 1 / (111320.0 * std::cos(45 * M_PI / 180));
    EXPECT_EQ(follower.fix(45.0 + 120 / 111320.0, 7.0 + 10 * east), RouteFollower::none);
    EXPECT_EQ(follower.nextTurn, 1u);
    EXPECT_NEAR(follower.metresToTurn, 380, 1);
    EXPECT_NEAR(follower.metresOff, 10, 0.5);
    // Three fixes 60 m off: a new route is wanted once.
    EXPECT_EQ(follower.fix(45.0 + 700 / 111320.0, 7.0 + 60 * east), RouteFollower::none);
    EXPECT_EQ(follower.fix(45.0 + 710 / 111320.0, 7.0 + 60 * east), RouteFollower::none);
    EXPECT_EQ(follower.fix(45.0 + 720 / 111320.0, 7.0 + 60 * east), RouteFollower::offRoute);
    EXPECT_EQ(follower.fix(45.0 + 730 / 111320.0, 7.0 + 60 * east), RouteFollower::none);
    EXPECT_EQ(follower.nextTurn, 2u);
    // Back on it, then at the end: arrival once.
    EXPECT_EQ(follower.fix(45.0 + 900 / 111320.0, 7.0), RouteFollower::none);
    EXPECT_EQ(follower.fix(45.0 + 990 / 111320.0, 7.0), RouteFollower::arrived);
    EXPECT_EQ(follower.fix(45.0 + 1000 / 111320.0, 7.0), RouteFollower::none);
}

// The profile chosen is kept in the settings; what is not understood there
// keeps the default.
TEST(RouteProfile, KeptInTheSettings)
{
    ConfParser settings("", 1);
    RouteProfile chosen;
    chosen.transport = RouteProfile::bicycle;
    chosen.shortest = true;
    chosen.store(&settings);
    const RouteProfile back = RouteProfile::read(settings);
    EXPECT_EQ(back.transport, RouteProfile::bicycle);
    EXPECT_TRUE(back.shortest);
    settings.setValue("route_profile", "horse");
    EXPECT_EQ(RouteProfile::read(settings).transport, RouteProfile::car);
}

// Every outcome of a request has its words in every language.
TEST(RouteMessage, EveryOutcomeInEveryLanguage)
{
    for (const char* name : {"english", "czech", "german"}) {
        auto conf = std::make_shared<ConfParser>(std::string(TESSEL_SOURCE_DIR) + "/lang/" + name + ".conf", 0);
        const TurnText::Texts texts = [conf](const std::string& id) {
            std::string text;
            return conf->value(id, &text) && !text.empty() ? text : "lng{" + id + "}";
        };
        std::vector<RouteResult> results(9);
        results[0].data = RouteResult::noneCovering;
        results[1].data = RouteResult::unusable;
        const Router::Outcome outcomes[] = {Router::found,     Router::noRoadNearStart, Router::noRoadNearEnd,
                                            Router::notConnected, Router::cancelled,   Router::badProfile,
                                            Router::failed};
        for (int i = 0; i < 7; ++i)
            results[2 + std::size_t(i)].outcome = outcomes[i];
        std::set<std::string> said;
        for (const RouteResult& r : results) {
            const std::string text = RouteMessage::outcome(texts, r);
            EXPECT_EQ(text.find("lng{"), std::string::npos) << name << ": " << text;
            said.insert(text);
        }
        EXPECT_EQ(said.size(), 9u) << name;
        EXPECT_NE(RouteMessage::computing(texts, 0.42).find("42 %"), std::string::npos) << name;
    }
}
