#include "FileBytes.h"

#include "SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<FileBytes> FileBytes::open(const std::string& path, std::string* error)
{
    std::unique_ptr<FileBytes> f(new FileBytes());
    f->label = path;
    f->fd = SafeFile::openRegular(path); // a FIFO named .pmtiles is refused, not waited on
    struct stat info;
    if (f->fd < 0 || fstat(f->fd, &info) != 0) {
        *error = path + ": cannot be read";
        return nullptr;
    }
    f->fileSize = static_cast<std::uint64_t>(info.st_size);
    return f;
}

FileBytes::~FileBytes()
{
    if (fd >= 0)
        close(fd);
}

bool FileBytes::read(std::uint64_t offset, std::uint64_t length, std::string* out, std::string* error)
{
    if (offset > fileSize) {
        *error = label + ": read past the end";
        return false;
    }
    if (length > fileSize - offset)
        length = fileSize - offset;
    out->resize(static_cast<std::size_t>(length));
    std::size_t done = 0;
    while (done < out->size()) {
        const ssize_t n = pread(fd, &(*out)[done], out->size() - done, static_cast<off_t>(offset + done));
        if (n <= 0) {
            *error = label + ": cannot be read";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}
