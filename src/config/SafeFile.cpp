#include "SafeFile.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile {

bool writeDurably(const std::string& path, const std::string& bytes)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    ok = std::fflush(out) == 0 && ok;
    ok = fsync(fileno(out)) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    if (!ok)
        std::remove(path.c_str());
    return ok;
}

bool copyDurably(const std::string& from, const std::string& to)
{
    std::ifstream in(from, std::ios::binary);
    std::FILE* out = in ? std::fopen(to.c_str(), "wb") : nullptr;
    if (!out)
        return false;
    char buffer[8192];
    bool ok = true;
    while (ok && in.read(buffer, sizeof buffer).gcount() > 0)
        ok = std::fwrite(buffer, 1, static_cast<std::size_t>(in.gcount()), out) == static_cast<std::size_t>(in.gcount());
    ok = std::fflush(out) == 0 && ok;
    ok = fsync(fileno(out)) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    if (!ok)
        std::remove(to.c_str());
    return ok;
}

void syncDirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

long long modifiedTime(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? static_cast<long long>(info.st_mtime) : -1;
}

} // namespace SafeFile
