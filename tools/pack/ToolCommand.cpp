#include "ToolCommand.h"

#include <cstdlib>
#include <iostream>

namespace ToolCommand {

int failure(const std::string& message, int status)
{
    std::cerr << "tessel-pack: " << message << "\n";
    return status;
}

bool number(const std::string& text, long long* value)
{
    char* end = nullptr;
    *value = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0';
}

} // namespace ToolCommand
