#ifndef TESSEL_PACK_TERRAINCOMMANDS_H
#define TESSEL_PACK_TERRAINCOMMANDS_H

#include <functional>
#include <map>
#include <string>
#include <vector>

// The toolbox's terrain commands: `dem` (.hgt tiles into an elevation
// archive) and `track` (a GPX file's figures).
namespace TerrainCommands {

extern const char* const demUsage;
extern const char* const demHelp;
extern const char* const trackUsage;
extern const char* const trackHelp;

int dem(const std::vector<std::string>& args, std::map<std::string, std::string>& options,
        const std::function<bool()>& interrupted);
int track(const std::vector<std::string>& args, std::map<std::string, std::string>& options);

} // namespace TerrainCommands

#endif
