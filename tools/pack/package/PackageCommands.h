#ifndef TESSEL_PACK_PACKAGECOMMANDS_H
#define TESSEL_PACK_PACKAGECOMMANDS_H

#include "Package.h"

#include <map>
#include <string>
#include <vector>

// The toolbox's commands on packages: `import` (an archive or a folder of
// tiles into a package), `pack` and `unpack` (part files or loose tiles),
// `check` and `info` (of a package or an archive).
namespace PackageCommands {

using Options = std::map<std::string, std::string>;

extern const char* const importUsage;
extern const char* const importHelp;

// The options import and render share; false (having said why) when one is wrong.
bool readImportOptions(Options& o, Package::ImportOptions* out, bool (*interrupted)());

// Exit status: 0 done, 1 failed, 2 bad arguments, 130 interrupted.
int import(const std::vector<std::string>& args, Options& o, bool (*interrupted)());
int pack(const std::vector<std::string>& args, Options& o);
int unpack(const std::vector<std::string>& args, Options& o);
int check(const std::vector<std::string>& args, Options& o);
int info(const std::vector<std::string>& args, Options& o);

} // namespace PackageCommands

#endif
