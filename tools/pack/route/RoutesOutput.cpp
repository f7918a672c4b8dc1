#include "RoutesOutput.h"

#include "RouteDataCheck.h"
#include "RouteStamp.h"
#include "SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool routingFolder(const std::string& dir)
{
    return SafeFile::isDirectory(dir) && (SafeFile::present(dir + "/" + RouteStamp::fileName) ||
                                          SafeFile::present(dir + "/" + RouteDataCheck::fileNames[0]));
}

std::string failed(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

} // namespace

RoutesOutput::RoutesOutput(const std::string& finalDir) : finalDir(finalDir)
{
    // "maps/andorra.routes/" names the folder, not something inside it.
    while (this->finalDir.size() > 1 && this->finalDir.back() == '/')
        this->finalDir.pop_back();
}

RoutesOutput::~RoutesOutput()
{
    if (!kept && !temporary.empty())
        remove(temporary);
}

void RoutesOutput::remove(const std::string& dir)
{
    DIR* d = opendir(dir.c_str());
    if (d) {
        std::vector<std::string> names;
        while (const dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.push_back(e->d_name);
        closedir(d);
        for (const std::string& name : names)
            unlink((dir + "/" + name).c_str());
    }
    rmdir(dir.c_str());
}

bool RoutesOutput::create(std::string* why)
{
    if (SafeFile::present(finalDir) && !routingFolder(finalDir)) {
        *why = finalDir + ": already exists and is not routing data; choose another name";
        return false;
    }
    const std::size_t slash = finalDir.rfind('/');
    const std::string parent = slash == std::string::npos ? "" : finalDir.substr(0, slash + 1);
    std::string pattern = parent + "." + finalDir.substr(parent.size()) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        *why = failed("cannot make a folder beside " + finalDir);
        return false;
    }
    temporary = name.data();
    // mkdtemp makes it private; routing data is as readable as the maps.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temporary.c_str(), 0777 & ~mask);
    return true;
}

bool RoutesOutput::keep(std::string* why)
{
    for (int f = 0; f < RouteDataCheck::fileCount; ++f) {
        const int fd = open((temporary + "/" + RouteDataCheck::fileNames[f]).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || fsync(fd) != 0) {
            *why = failed(temporary + "/" + RouteDataCheck::fileNames[f]);
            if (fd >= 0)
                close(fd);
            return false;
        }
        close(fd);
    }
    SafeFile::syncDirectoryOf(temporary + "/" + RouteDataCheck::fileNames[0]);
    const std::string old = finalDir + "~";
    const bool replacing = SafeFile::present(finalDir);
    if (replacing) {
        if (routingFolder(old))
            remove(old);
        if (std::rename(finalDir.c_str(), old.c_str()) != 0) {
            *why = failed("cannot move the old " + finalDir + " aside");
            return false;
        }
    }
    if (std::rename(temporary.c_str(), finalDir.c_str()) != 0) {
        *why = failed("cannot rename the new routing data to " + finalDir);
        if (replacing)
            std::rename(old.c_str(), finalDir.c_str());
        return false;
    }
    kept = true;
    SafeFile::syncDirectoryOf(finalDir);
    if (replacing)
        remove(old);
    return true;
}
