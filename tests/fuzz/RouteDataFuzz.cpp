// Fuzz target for the routing data checks: the input is three 32-bit
// lengths (nodes, segments, ways) and the files' bytes one after another,
// the relations taking the rest. Data the checks accept is handed to the
// routing library and routed through, so a hole in the checks shows as a
// crash inside it.
#include "RouteDataCheck.h"
#include "RouteDatabase.h"
#include "Router.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 12)
        return 0;
    std::uint32_t lengths[3];
    std::memcpy(lengths, data, 12);
    std::size_t at = 12;
    std::string parts[RouteDataCheck::fileCount];
    for (int f = 0; f < RouteDataCheck::fileCount; ++f) {
        const std::size_t n = f < 3 ? std::min<std::size_t>(lengths[f], size - at) : size - at;
        parts[f].assign(reinterpret_cast<const char*>(data) + at, n);
        at += n;
    }
    // The library loads a folder: one for the whole run, removed at exit.
    static struct Folder {
        std::string path;
        Folder()
        {
            char name[] = "/tmp/route-fuzz-XXXXXX";
            if (!mkdtemp(name))
                std::abort();
            path = name;
        }
        ~Folder()
        {
            for (const char* file : RouteDataCheck::fileNames)
                unlink((path + "/" + file).c_str());
            rmdir(path.c_str());
        }
    } folder;
    const std::string& dir = folder.path;
    for (int f = 0; f < RouteDataCheck::fileCount; ++f) {
        std::ofstream out(dir + "/" + RouteDataCheck::fileNames[f], std::ios::binary | std::ios::trunc);
        out.write(parts[f].data(), std::streamsize(parts[f].size()));
        if (!out)
            std::abort();
    }
    std::string why;
    std::unique_ptr<RouteDatabase> db = RouteDatabase::open(dir, &why);
    if (!db)
        return 0;
    if (!(db->area.south >= -90.1 && db->area.north <= 90.1 && db->area.west >= -180.1 && db->area.east <= 180.1))
        __builtin_trap();
    Route route;
    for (RouteProfile::Transport t : {RouteProfile::foot, RouteProfile::car}) {
        RouteProfile profile;
        profile.transport = t;
        Router().compute(*db, profile, db->area.south, db->area.west, db->area.north, db->area.east, &route, &why);
    }
    return 0;
}
