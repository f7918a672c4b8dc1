#include "Router.h"

#include "RouteDatabase.h"
#include "RouteList.h"
#include "RoutingLibrary.h"

#include <cstdlib>
#include <routino.h>

namespace {

// The library's progress callback carries no context: the router in
// progress on this thread is named here.
thread_local const Router* running = nullptr;

int onProgress(double complete)
{
    if (!running)
        return 1;
    if (running->progress)
        running->progress(complete);
    return running->cancel && running->cancel->load() ? 0 : 1;
}

struct Waypoints {
    Routino_Waypoint* at[2] = {nullptr, nullptr};
    ~Waypoints()
    {
        std::free(at[0]);
        std::free(at[1]);
    }
};

} // namespace

Router::Router() : profilesFile(RoutingLibrary::shippedProfiles) {}

Router::Outcome Router::compute(RouteDatabase& db, const RouteProfile& choice, double fromLat, double fromLon,
                                double toLat, double toLon, Route* route, std::string* why) const
{
    std::lock_guard<std::mutex> hold(RoutingLibrary::lock());
    if (!RoutingLibrary::prepare(profilesFile, why))
        return badProfile;
    Routino_Profile* profile = reinterpret_cast<Routino_Profile*>(RoutingLibrary::profile(choice.libraryName()));
    if (!profile) {
        *why = profilesFile + ": no profile named " + choice.libraryName();
        return badProfile;
    }
    if (Routino_ValidateProfile(db.handle, profile) != ROUTINO_ERROR_NONE) {
        *why = profilesFile + ": the " + choice.libraryName() + " profile does not suit this routing data";
        return badProfile;
    }
    // Unlike the points of its routes, the library's waypoints are in degrees.
    Waypoints ends;
    ends.at[0] = Routino_FindWaypoint(db.handle, profile, fromLat, fromLon);
    if (!ends.at[0]) {
        *why = std::string("no road for the ") + choice.name() + " profile near the start";
        return noRoadNearStart;
    }
    ends.at[1] = Routino_FindWaypoint(db.handle, profile, toLat, toLon);
    if (!ends.at[1]) {
        *why = std::string("no road for the ") + choice.name() + " profile near the destination";
        return noRoadNearEnd;
    }
    const int options = (choice.shortest ? ROUTINO_ROUTE_SHORTEST : ROUTINO_ROUTE_QUICKEST) | ROUTINO_ROUTE_LIST_HTML_ALL;
    running = this;
    Routino_Output* output = Routino_CalculateRoute(
        db.handle, profile, reinterpret_cast<Routino_Translation*>(RoutingLibrary::translation()), ends.at, 2,
        options, onProgress);
    running = nullptr;
    if (!output) {
        if (Routino_errno == ROUTINO_ERROR_PROGRESS_ABORTED) {
            *why = "route computation cancelled";
            return cancelled;
        }
        if (Routino_errno >= ROUTINO_ERROR_NO_ROUTE_1) {
            *why = std::string("the start and the destination are not connected for the ") + choice.name() + " profile";
            return notConnected;
        }
        *why = "the routing library failed (error " + std::to_string(Routino_errno) + ")";
        return failed;
    }
    *route = RouteList::convert(output);
    Routino_DeleteRoute(output);
    return found;
}
