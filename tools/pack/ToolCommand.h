#ifndef TESSEL_PACK_TOOLCOMMAND_H
#define TESSEL_PACK_TOOLCOMMAND_H

#include <string>

// What every toolbox command shares: how a failure is told and how a
// numeric option is read.
namespace ToolCommand {

// Prints "tessel-pack: MESSAGE" on standard error; returns `status`.
int failure(const std::string& message, int status = 1);
// A whole decimal number, nothing after it.
bool number(const std::string& text, long long* value);

} // namespace ToolCommand

#endif
