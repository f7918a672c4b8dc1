#ifndef TESSEL_FILEBYTES_H
#define TESSEL_FILEBYTES_H

#include "ByteSource.h"

#include <memory>

// A local file as a byte source (pread, never written).
class FileBytes : public ByteSource {
public:
    static std::unique_ptr<FileBytes> open(const std::string& path, std::string* error);
    ~FileBytes() override;
    bool read(std::uint64_t offset, std::uint64_t length, std::string* out, std::string* error) override;
    std::uint64_t size() const override { return fileSize; }

private:
    FileBytes() = default;
    int fd = -1;
    std::uint64_t fileSize = 0;
};

#endif
