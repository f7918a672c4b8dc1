#include "CommandLine.h"

#include "GpsAddress.h"

#include <cstdlib>
#include <cstring>

namespace {

// "--name=value" or "--name value": the value, advancing *i past it.
bool valueOf(const char* name, int argc, const char* const* argv, int* i, std::string* value, bool* matched)
{
    const std::size_t n = std::strlen(name);
    const char* arg = argv[*i];
    *matched = std::strncmp(arg, name, n) == 0 && (arg[n] == 0 || arg[n] == '=');
    if (!*matched)
        return false;
    if (arg[n] == '=') {
        *value = arg + n + 1;
        return true;
    }
    if (*i + 1 >= argc)
        return false;
    *value = argv[++*i];
    return true;
}

} // namespace

bool CommandLine::parse(int argc, const char* const* argv, std::string* error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string value;
        bool matched = false;
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "--fullscreen") {
            fullscreen = true;
        } else if (valueOf("--scale", argc, argv, &i, &value, &matched) || matched) {
            char* end = nullptr;
            const long n = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != 0 || n < 1 || n > 4) {
                *error = "tessel: --scale takes a whole number from 1 to 4" +
                         (value.empty() ? std::string() : ", not '" + value + "'");
                return false;
            }
            scale = static_cast<int>(n);
        } else if (valueOf("--dir", argc, argv, &i, &value, &matched) || matched) {
            if (value.empty()) {
                *error = "tessel: --dir takes a directory";
                return false;
            }
            dir = value;
        } else if (valueOf("--gps", argc, argv, &i, &value, &matched) || matched) {
            if (!GpsAddress().parse(value)) {
                *error = "tessel: --gps takes HOST:PORT or off" + (value.empty() ? std::string() : ", not '" + value + "'");
                return false;
            }
            gps = value;
        } else {
            *error = "tessel: unknown option '" + arg + "' (see tessel --help)";
            return false;
        }
    }
    return true;
}

std::string CommandLine::usage()
{
    return "Usage: tessel [OPTION]...\n"
           "An offline viewer for tiled web maps.\n"
           "\n"
           "  --scale N      show the 320x240 screen N times larger (1 to 4)\n"
           "  --fullscreen   start in full screen (F11 switches)\n"
           "  --dir DIR      use DIR for tessel.conf, maps/ and tracks/\n"
           "  --gps WHERE    gpsd's HOST:PORT for the live position, or off\n"
           "  --version      print the version and exit\n"
           "  --help         print this help and exit\n"
           "\n"
           "Without --dir the current directory is used when it holds a tessel.conf,\n"
           "else $XDG_DATA_HOME/tessel (~/.local/share/tessel), laid out on first start.\n";
}
