#include "UserDirectory.h"

#include "SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace UserDirectory {

namespace {

// mkdir -p
bool makeDirectories(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            return SafeFile::isDirectory(path);
    }
}

bool copyFile(const std::string& from, const std::string& to)
{
    const std::string temporary = to + ".new";
    return SafeFile::copyDurably(from, temporary) && std::rename(temporary.c_str(), to.c_str()) == 0;
}

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// Makes `link` lead to this installation's `target`. A real directory in
// its place is the user's own and is kept; a link (left by an earlier
// installation, perhaps moved or removed since) is replaced in one step.
bool linkShared(const std::string& target, const std::string& link)
{
    struct stat info;
    if (lstat(link.c_str(), &info) == 0 && !S_ISLNK(info.st_mode))
        return true;
    char current[PATH_MAX];
    const ssize_t n = readlink(link.c_str(), current, sizeof current);
    if (n >= 0 && std::string(current, static_cast<std::size_t>(n)) == target)
        return true;
    const std::string fresh = link + ".new";
    unlink(fresh.c_str());
    return symlink(target.c_str(), fresh.c_str()) == 0 && std::rename(fresh.c_str(), link.c_str()) == 0;
}

} // namespace

std::string installedData(const std::string& executable)
{
    const std::string data = parentOf(parentOf(executable)) + "/share/tessel";
    return SafeFile::isDirectory(data + "/media") && SafeFile::isDirectory(data + "/lang") ? data : std::string();
}

bool choose(const std::string& dirOption, const std::string& dataDir, std::string* dir, std::string* error)
{
    if (!dirOption.empty()) {
        if (!SafeFile::isDirectory(dirOption)) {
            *error = "tessel: --dir: '" + dirOption + "' is not a directory";
            return false;
        }
        *dir = dirOption;
        return true;
    }
    if (SafeFile::present("tessel.conf") || dataDir.empty()) {
        *dir = ".";
        return true;
    }
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && xdg[0] == '/')
        *dir = std::string(xdg) + "/tessel";
    else if (home && home[0])
        *dir = std::string(home) + "/.local/share/tessel";
    else
        *dir = ".";
    return true;
}

bool layOut(const std::string& dir, const std::string& dataDir, std::string* error)
{
    if (!makeDirectories(dir)) {
        *error = "tessel: cannot create " + dir + ": " + std::strerror(errno);
        return false;
    }
    for (const char* sub : {"/maps", "/tracks"})
        if (!SafeFile::isDirectory(dir + sub) && mkdir((dir + sub).c_str(), 0755) != 0) {
            *error = "tessel: cannot create " + dir + sub + ": " + std::strerror(errno);
            return false;
        }
    if (dataDir.empty())
        return true;
    if (!SafeFile::present(dir + "/tessel.conf") && !copyFile(dataDir + "/tessel.conf", dir + "/tessel.conf")) {
        *error = "tessel: cannot write " + dir + "/tessel.conf";
        return false;
    }
    for (const char* shared : {"/media", "/lang"})
        if (!linkShared(dataDir + shared, dir + shared)) {
            *error = "tessel: cannot link " + dir + shared + " to " + dataDir + shared + ": " + std::strerror(errno);
            return false;
        }
    return true;
}

} // namespace UserDirectory
