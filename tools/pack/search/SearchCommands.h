#ifndef TESSEL_PACK_SEARCHCOMMANDS_H
#define TESSEL_PACK_SEARCHCOMMANDS_H

#include <map>
#include <string>
#include <vector>

// The toolbox's commands for finding places offline: `index` (an
// OpenStreetMap extract into a search index) and `search` (what the
// viewer's search page would show for a query).
namespace SearchCommands {

using Options = std::map<std::string, std::string>;

extern const char* const indexUsage;
extern const char* const indexHelp;
extern const char* const searchUsage;
extern const char* const searchHelp;

// Exit status: 0 done, 1 failed, 2 bad arguments, 130 interrupted.
int index(const std::vector<std::string>& args, Options& options, bool (*interrupted)());
int search(const std::vector<std::string>& args, Options& options);

} // namespace SearchCommands

#endif
