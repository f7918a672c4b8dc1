// Fuzz target for the configuration reader and writer. Built for libFuzzer
// with clang (-fsanitize=fuzzer); otherwise a replay driver runs it over the
// bad-input files in tests/data/conf.
#include "ConfParser.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ConfParser conf("/nonexistent/fuzz.conf", 1);
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    conf.read(in);
    for (const ConfParameter& p : conf.parameters) {
        if (p.name.size() > ConfParser::maxName || p.value.size() > ConfParser::maxValue)
            __builtin_trap();
        int n;
        bool b;
        char buffer[8];
        conf.intValue(p.name, &n);
        conf.hexValue(p.name, &n);
        conf.boolValue(p.name, &b);
        conf.charValue(p.name, buffer, sizeof buffer);
    }
    std::ostringstream out;
    conf.write(out);
    return 0;
}
