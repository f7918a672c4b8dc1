#ifndef TESSEL_COMMANDLINE_H
#define TESSEL_COMMANDLINE_H

#include <string>

// The command line, read before SDL starts.
struct CommandLine {
    static constexpr int usageError = 64; // exit code for an unknown option or a bad value

    bool help = false;
    bool version = false;
    int scale = -1; // -1: as tessel.conf says; 1 to 4
    bool fullscreen = false;
    std::string dir; // where tessel.conf, maps/ and tracks/ are; empty: the usual rules
    std::string gps; // "off" or HOST:PORT; empty: as tessel.conf says

    // False with a one-line *error for anything it does not understand.
    bool parse(int argc, const char* const* argv, std::string* error);
    static std::string usage();
};

#endif
