#ifndef TESSEL_REGULARFILESTREAM_H
#define TESSEL_REGULARFILESTREAM_H

#include <istream>
#include <streambuf>
#include <string>
#include <sys/types.h>

// An input stream over a regular file opened through SafeFile::openRegular:
// read (and sought) on the descriptor whose type was checked, never opened
// again by name, so a FIFO or device swapped in meanwhile is never read.
class RegularFileStream : public std::istream {
public:
    explicit RegularFileStream(const std::string& path);
    ~RegularFileStream() override;
    RegularFileStream(const RegularFileStream&) = delete;
    RegularFileStream& operator=(const RegularFileStream&) = delete;

    bool isOpen() const { return buffer.fd >= 0; }

private:
    class Buffer : public std::streambuf {
    public:
        int fd = -1;

    protected:
        int_type underflow() override;
        pos_type seekoff(off_type offset, std::ios::seekdir way, std::ios::openmode which) override;
        pos_type seekpos(pos_type position, std::ios::openmode which) override;

    private:
        off_t next = 0; // the file offset after the bytes held
        char data[65536];
    };
    Buffer buffer;
};

#endif
