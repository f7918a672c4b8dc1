#ifndef TESSEL_PACK_ROUTECOMMANDS_H
#define TESSEL_PACK_ROUTECOMMANDS_H

#include <functional>
#include <map>
#include <string>
#include <vector>

// tessel-pack routes (routing data from an OpenStreetMap extract) and
// tessel-pack route (a route through it, as the viewer computes it).
namespace RouteCommands {

extern const char* const routesUsage;
extern const char* const routesHelp;
extern const char* const routeUsage;
extern const char* const routeHelp;

int routes(const std::vector<std::string>& args, std::map<std::string, std::string>& options,
           const std::function<bool()>& interrupted);
// `langDir` holds the language files the turn texts come from.
int route(const std::vector<std::string>& args, std::map<std::string, std::string>& options,
          const std::string& langDir);

} // namespace RouteCommands

#endif
