#include "RouteFolders.h"

#include "RouteDataCheck.h"
#include "RouteStamp.h"
#include "SafeFile.h"

#include <algorithm>
#include <dirent.h>

void RouteFolders::scan(const std::string& mapsDir)
{
    entries.clear();
    DIR* d = opendir(mapsDir.c_str());
    if (!d)
        return;
    const std::string suffix = ".routes";
    // Bounded: a maps folder of thousands of entries is read once, each
    // routing folder costs one small read.
    for (int n = 0; n < 100000; ++n) {
        const dirent* e = readdir(d);
        if (!e)
            break;
        const std::string name = e->d_name;
        if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        Entry entry;
        entry.dir = mapsDir + "/" + name;
        if (!SafeFile::isDirectory(entry.dir))
            continue;
        RouteStamp stamp;
        std::string why;
        if ((stamp.read(entry.dir) && !stamp.area.empty) || RouteDataCheck::headerArea(entry.dir, &stamp.area, &why)) {
            entry.area = stamp.area;
            entries.push_back(entry);
        }
    }
    closedir(d);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.dir < b.dir; });
}

std::string RouteFolders::covering(double fromLat, double fromLon, double toLat, double toLon) const
{
    const Entry* best = nullptr;
    double bestSize = 0;
    for (const Entry& e : entries) {
        if (!e.area.covers(fromLat, fromLon) || !e.area.covers(toLat, toLon))
            continue;
        const double size = (e.area.north - e.area.south) * (e.area.east - e.area.west);
        if (!best || size < bestSize) {
            best = &e;
            bestSize = size;
        }
    }
    return best ? best->dir : std::string();
}
