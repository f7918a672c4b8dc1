#ifndef TESSEL_PACK_DEMOCOMMANDS_H
#define TESSEL_PACK_DEMOCOMMANDS_H

#include <map>
#include <string>
#include <vector>

// The toolbox's commands that make the demonstration packages: `earth`
// (from Debian's NASA Visible Earth pictures) and `sample`.
namespace DemoCommands {

using Options = std::map<std::string, std::string>;

int earth(const std::vector<std::string>& args, Options& options);
int sample(const std::vector<std::string>& args, Options& options);

} // namespace DemoCommands

#endif
