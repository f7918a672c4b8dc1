#ifndef TESSEL_ROUTEDATABASE_H
#define TESSEL_ROUTEDATABASE_H

#include "RouteArea.h"

#include <memory>
#include <string>

struct _Routino_Database;

// One folder of routing files, checked (RouteDataCheck, and the stamp the
// toolbox leaves beside them) before the library maps them; unmapped when
// the object goes. Loaded only when a route is asked for.
class RouteDatabase {
public:
    ~RouteDatabase();
    RouteDatabase(const RouteDatabase&) = delete;
    RouteDatabase& operator=(const RouteDatabase&) = delete;

    // Null with the reason when the folder does not hold sound routing data
    // for this machine and this version of the routing library.
    static std::unique_ptr<RouteDatabase> open(const std::string& dir, std::string* why);

    std::string dir;
    RouteArea area;
    _Routino_Database* handle = nullptr;

private:
    RouteDatabase() = default;
};

#endif
