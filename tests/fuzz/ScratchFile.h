#ifndef TESSEL_FUZZ_SCRATCHFILE_H
#define TESSEL_FUZZ_SCRATCHFILE_H

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// A fresh file in /tmp for a target whose reader takes a path (SQLite reads
// files), removed when the target ends. Call it once per target.
inline std::string scratchFile(const char* kind)
{
    static std::string path;
    std::string name = std::string("/tmp/tessel-") + kind + "-fuzz-XXXXXX";
    const int fd = mkstemp(&name[0]);
    if (fd < 0)
        std::abort();
    close(fd);
    path = name;
    std::atexit([] { std::remove(path.c_str()); });
    return path;
}

#endif
