#include "TempOutput.h"

#include "SafeFile.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TempOutput::TempOutput(const std::string& path) : finalPath(path) {}

TempOutput::~TempOutput()
{
    if (!kept && !temporary.empty()) {
        unlink(temporary.c_str());
        // SQLite's side file, should one be left.
        unlink((temporary + "-journal").c_str());
    }
}

bool TempOutput::create(std::string* error)
{
    const std::size_t slash = finalPath.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : finalPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
    temporary = dir + "." + name + ".tessel-XXXXXX";
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0) {
        *error = finalPath + ": cannot be written";
        temporary.clear();
        return false;
    }
    // mkstemp makes it private; the finished file is as any other the user makes.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return true;
}

bool TempOutput::keep(std::string* error)
{
    const int fd = open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && fsync(fd) == 0;
    if (fd >= 0)
        close(fd);
    if (!synced || std::rename(temporary.c_str(), finalPath.c_str()) != 0) {
        *error = finalPath + ": cannot be written";
        return false;
    }
    kept = true;
    SafeFile::syncDirectoryOf(finalPath);
    return true;
}
