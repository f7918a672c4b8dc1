#include "RoutingData.h"

#include "PlanetSplitter.h"
#include "SafeFile.h"
#include "TestSupport.h"

#include <cstdlib>
#include <map>

namespace {

struct Made {
    std::map<std::string, std::string> dirs;
    ~Made()
    {
        for (const auto& d : dirs)
            if (!d.second.empty())
                std::system(("rm -rf " + d.second).c_str());
    }
};

} // namespace

std::string routingData(const std::string& area)
{
    static Made made;
    if (made.dirs.count(area))
        return made.dirs[area];
    std::string& dir = made.dirs[area];
    const unsigned one = 1;
    if (*reinterpret_cast<const unsigned char*>(&one) != 1)
        return dir;
    const std::string pbf = sharedFixture(area + ".osm.pbf");
    if (!SafeFile::present(pbf) || std::system("command -v planetsplitter >/dev/null") != 0)
        return dir;
    char name[] = "/tmp/tessel-routes-XXXXXX";
    if (!mkdtemp(name))
        return dir;
    std::string why;
    if (PlanetSplitter::run(pbf, name, nullptr, nullptr, &why))
        dir = name;
    else
        std::system((std::string("rm -rf ") + name).c_str());
    return dir;
}
