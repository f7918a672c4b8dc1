#include "Files.h"

#include "SafeFile.h"

#include "SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace Files {

bool makeDir(const std::string& path)
{
    return mkdir(path.c_str(), 0755) == 0 || (errno == EEXIST && SafeFile::isDirectory(path));
}

void removeTree(const std::string& path)
{
    if (path.empty() || path == "/" || !SafeFile::present(path))
        return;
    std::string quoted;
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    if (std::system(("rm -rf -- '" + quoted + "'").c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", path.c_str());
}

bool writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool readBytes(const std::string& path, std::string* bytes)
{
    // Only regular files: a FIFO among a folder's tiles would wait forever.
    return SafeFile::readRegular(path, std::size_t(1) << 30, bytes);
}

std::string withSlash(std::string dir)
{
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir;
}

std::string withoutSlash(std::string dir)
{
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

} // namespace Files
