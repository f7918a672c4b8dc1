#ifndef TESSEL_PACK_AREACOMMANDS_H
#define TESSEL_PACK_AREACOMMANDS_H

#include <map>
#include <string>
#include <vector>

// The toolbox's commands that make maps for an area: `extract` (cut out of
// an archive, local or on a server) and `download` (from a tile server).
namespace AreaCommands {

using Options = std::map<std::string, std::string>;

extern const char* const extractUsage;
extern const char* const extractHelp;
extern const char* const downloadUsage;
extern const char* const downloadHelp;

// Exit status: 0 done, 1 failed, 2 bad arguments, 130 interrupted.
int extract(const std::vector<std::string>& args, Options& options, bool (*interrupted)());
int download(const std::vector<std::string>& args, Options& options, bool (*interrupted)());

} // namespace AreaCommands

#endif
