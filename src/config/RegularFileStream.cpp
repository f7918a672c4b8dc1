#include "RegularFileStream.h"

#include "SafeFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

RegularFileStream::RegularFileStream(const std::string& path) : std::istream(&buffer)
{
    buffer.fd = SafeFile::openRegular(path);
    if (buffer.fd < 0)
        setstate(std::ios::failbit);
}

RegularFileStream::~RegularFileStream()
{
    if (buffer.fd >= 0)
        close(buffer.fd);
}

RegularFileStream::Buffer::int_type RegularFileStream::Buffer::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (fd < 0)
        return traits_type::eof();
    ssize_t n;
    do
        n = pread(fd, data, sizeof data, next);
    while (n < 0 && errno == EINTR);
    if (n <= 0)
        return traits_type::eof();
    next += n;
    setg(data, data, data + n);
    return traits_type::to_int_type(*gptr());
}

RegularFileStream::Buffer::pos_type RegularFileStream::Buffer::seekoff(off_type offset, std::ios::seekdir way,
                                                                       std::ios::openmode which)
{
    const off_t here = next - (egptr() - gptr());
    off_t base = here;
    if (way == std::ios::beg) {
        base = 0;
    } else if (way == std::ios::end) {
        struct stat info;
        if (fd < 0 || fstat(fd, &info) != 0)
            return pos_type(off_type(-1));
        base = info.st_size;
    }
    if (way == std::ios::cur && offset == 0)
        return pos_type(here); // tellg
    return seekpos(pos_type(base + offset), which);
}

RegularFileStream::Buffer::pos_type RegularFileStream::Buffer::seekpos(pos_type position, std::ios::openmode)
{
    const off_type at = position;
    if (fd < 0 || at < 0)
        return pos_type(off_type(-1));
    next = static_cast<off_t>(at);
    setg(data, data, data); // read afresh from there
    return position;
}
