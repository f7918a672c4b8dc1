#include "DemoCommands.h"

#include "ToolCommand.h"
#include "World.h"

#include <iostream>

namespace DemoCommands {

namespace {

const char* const defaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const defaultDay = "/usr/share/xplanet/images/earth.jpg";
const char* const defaultNight = "/usr/share/xplanet/images/night.jpg";

std::string option(const Options& o, const char* key, const char* fallback)
{
    const auto found = o.find(key);
    return found == o.end() ? fallback : found->second;
}

} // namespace

int earth(const std::vector<std::string>& args, Options& o)
{
    long long maxZoom = 3;
    if (o.count("--max-zoom") && (!ToolCommand::number(o["--max-zoom"], &maxZoom) || maxZoom < 0 || maxZoom > 5))
        return ToolCommand::failure("--max-zoom takes a level from 0 to 5");
    std::string error;
    if (!World::makeEarth(args[0], option(o, "--day", defaultDay), option(o, "--night", defaultNight),
                          option(o, "--font", defaultFont), static_cast<int>(maxZoom), &error))
        return ToolCommand::failure(error);
    std::cout << "wrote " << args[0] << "\n";
    return 0;
}

int sample(const std::vector<std::string>& args, Options& o)
{
    std::string error;
    if (!World::makeSample(args[0], option(o, "--font", defaultFont), &error))
        return ToolCommand::failure(error);
    std::cout << "wrote " << args[0] << "\n";
    return 0;
}

} // namespace DemoCommands
