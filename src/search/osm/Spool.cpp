#include "Spool.h"

#include <cstdlib>
#include <unistd.h>

namespace {

const std::size_t maxRecord = 1u << 20;

} // namespace

Spool::~Spool()
{
    if (file)
        std::fclose(file);
}

bool Spool::open(const std::string& directory)
{
    std::string path = (directory.empty() ? std::string(".") : directory) + "/.tessel-spool-XXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd < 0)
        return false;
    unlink(path.c_str());
    file = fdopen(fd, "w+b");
    if (!file)
        close(fd);
    return file != nullptr;
}

bool Spool::write(const std::string& record)
{
    if (!file || record.size() > maxRecord) {
        broken = true;
        return false;
    }
    unsigned char head[4];
    for (int i = 0; i < 4; ++i)
        head[i] = static_cast<unsigned char>((record.size() >> (8 * i)) & 0xFF);
    if (std::fwrite(head, 1, 4, file) != 4 || std::fwrite(record.data(), 1, record.size(), file) != record.size())
        broken = true;
    return !broken;
}

bool Spool::rewind()
{
    if (!file || std::fflush(file) != 0 || std::fseek(file, 0, SEEK_SET) != 0)
        broken = true;
    return !broken;
}

bool Spool::read(std::string* record)
{
    unsigned char head[4];
    if (!file || std::fread(head, 1, 4, file) != 4)
        return false;
    const std::size_t size = static_cast<std::size_t>(head[0]) | static_cast<std::size_t>(head[1]) << 8 |
                             static_cast<std::size_t>(head[2]) << 16 | static_cast<std::size_t>(head[3]) << 24;
    if (size > maxRecord) {
        broken = true;
        return false;
    }
    record->resize(size);
    if (size && std::fread(&(*record)[0], 1, size, file) != size) {
        broken = true;
        return false;
    }
    return true;
}
