#include "SafeFile.h"

#include <cstdio>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFile {

std::string immutableUri(const std::string& path)
{
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (c == '%' || c == '?' || c == '#' || c < 0x20 || c >= 0x7f) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?immutable=1";
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

// A fresh file at `path`: what was there is unlinked (a link goes, its
// target stays untouched; a directory stays and fails the creation), then
// the name is created exclusively.
int createFresh(const std::string& path)
{
    unlink(path.c_str());
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

bool finish(int fd, bool ok, const std::string& path)
{
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok)
        unlink(path.c_str());
    return ok;
}

} // namespace

int openRegular(const std::string& path, bool followLinks)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    struct stat info;
    if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        close(fd);
        return -1;
    }
    return fd;
}

bool readRegular(const std::string& path, std::size_t limit, std::string* bytes)
{
    const int fd = openRegular(path);
    struct stat info;
    if (fd < 0)
        return false;
    bool ok = fstat(fd, &info) == 0 && static_cast<unsigned long long>(info.st_size) <= limit;
    bytes->assign(ok ? static_cast<std::size_t>(info.st_size) : 0, '\0');
    for (std::size_t done = 0; ok && done < bytes->size();) {
        const ssize_t n = pread(fd, &(*bytes)[done], bytes->size() - done, static_cast<off_t>(done));
        ok = n > 0 || (n < 0 && errno == EINTR);
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    close(fd);
    return ok;
}

bool writeDurably(const std::string& path, const std::string& bytes)
{
    const int fd = createFresh(path);
    return fd >= 0 && finish(fd, writeAll(fd, bytes.data(), bytes.size()), path);
}

bool copyDurably(const std::string& from, const std::string& to, bool followLinks)
{
    const int in = openRegular(from, followLinks);
    const int out = in >= 0 ? createFresh(to) : -1;
    if (out < 0) {
        if (in >= 0)
            close(in);
        return false;
    }
    char buffer[8192];
    bool ok = true;
    for (;;) {
        const ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n >= 0 && writeAll(out, buffer, static_cast<std::size_t>(n > 0 ? n : 0));
        if (n <= 0 || !ok)
            break;
    }
    close(in);
    return finish(out, ok, to);
}

void syncDirectoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

long long modifiedTime(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? static_cast<long long>(info.st_mtime) : -1;
}

bool present(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool isDirectory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace SafeFile
