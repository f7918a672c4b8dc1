#include "TempOutput.h"

#include "SafeFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

TempOutput::TempOutput(const std::string& path) : finalPath(path) {}

TempOutput::~TempOutput()
{
    if (lockFd >= 0)
        close(lockFd);
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
    const std::string prefix = "." + name + ".tessel-";
    removeStale(dir, prefix);
    temporary = dir + prefix + "XXXXXX";
    const int fd = mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0) {
        *error = finalPath + ": cannot be written";
        temporary.clear();
        return false;
    }
    // mkstemp makes it private; the finished file is as any other the user makes.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    flock(fd, LOCK_EX | LOCK_NB);
    lockFd = fd;
    return true;
}

// Names made by create() (the prefix and six characters, perhaps with
// SQLite's "-journal") that no living run holds locked.
void TempOutput::removeStale(const std::string& dir, const std::string& prefix) const
{
    DIR* d = opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return;
    while (const dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string path = dir + name;
        const int fd = SafeFile::openRegular(path, false);
        if (fd < 0)
            continue;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            unlink(path.c_str());
            unlink((path + "-journal").c_str());
        }
        close(fd);
    }
    closedir(d);
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
