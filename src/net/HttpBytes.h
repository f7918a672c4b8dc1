#ifndef TESSEL_HTTPBYTES_H
#define TESSEL_HTTPBYTES_H

#include "ByteSource.h"
#include "Fetcher.h"

// A file on a web server read by range requests. Every answer is checked:
// a 206 whose Content-Range is not the range asked for, a size that
// changes between answers, a web page, or a server that ignores ranges
// ends the reading with a message saying so.
class HttpBytes : public ByteSource {
public:
    HttpBytes(Fetcher& fetcher, const std::string& url);
    bool read(std::uint64_t offset, std::uint64_t length, std::string* out, std::string* error) override;
    std::uint64_t size() const override { return total; }

private:
    bool checkRange(const HttpReply& reply, std::uint64_t offset, std::uint64_t length, std::string* error);
    bool fail(std::string* error, const std::string& why) const;

    Fetcher& fetcher;
    std::string url;
    std::uint64_t total = ~0ull; // unknown until the first answer
};

#endif
