#include "RouteDatabase.h"

#include "RouteDataCheck.h"
#include "RouteStamp.h"
#include "RoutingLibrary.h"

#include <routino.h>

RouteDatabase::~RouteDatabase()
{
    if (handle) {
        std::lock_guard<std::mutex> hold(RoutingLibrary::lock());
        Routino_UnloadDatabase(reinterpret_cast<Routino_Database*>(handle));
    }
}

std::unique_ptr<RouteDatabase> RouteDatabase::open(const std::string& dir, std::string* why)
{
    RouteStamp stamp;
    if (stamp.read(dir) && !stamp.mismatch().empty()) {
        *why = dir + ": " + stamp.mismatch();
        return nullptr;
    }
    std::unique_ptr<RouteDatabase> db(new RouteDatabase);
    db->dir = dir;
    std::string problem;
    if (!RouteDataCheck::checkFolder(dir, &db->area, &problem)) {
        *why = dir + ": not usable routing data: " + problem;
        return nullptr;
    }
    std::lock_guard<std::mutex> hold(RoutingLibrary::lock());
    db->handle = reinterpret_cast<_Routino_Database*>(Routino_LoadDatabase(dir.c_str(), nullptr));
    if (!db->handle) {
        *why = dir + ": the routing library could not load it";
        return nullptr;
    }
    return db;
}
