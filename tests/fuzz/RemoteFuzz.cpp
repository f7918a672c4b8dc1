// Fuzz target for what the toolbox reads out of a server's answers: the
// first line is a Content-Range, the second a Retry-After (and a
// Content-Type), the rest the archive the ranges are read from, picked
// over a box and fetched as an extract does.
#include "HttpHeaders.h"
#include "PMTilesPicker.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// The answer's bytes as a server would hand them out by range.
class AnswerBytes : public ByteSource {
public:
    explicit AnswerBytes(std::string bytes) : bytes(std::move(bytes)) {}
    bool read(std::uint64_t offset, std::uint64_t length, std::string* out, std::string* error) override
    {
        if (offset > bytes.size()) {
            *error = "past the end";
            return false;
        }
        *out = bytes.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
        return true;
    }
    std::uint64_t size() const override { return bytes.size(); }

private:
    std::string bytes;
};

std::string line(const std::string& text, std::size_t* pos)
{
    const std::size_t end = text.find('\n', *pos);
    const std::string out = text.substr(*pos, end == std::string::npos ? std::string::npos : end - *pos);
    *pos = end == std::string::npos ? text.size() : end + 1;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t pos = 0;
    const std::string range = line(input, &pos), retry = line(input, &pos);
    std::uint64_t first, last, total;
    long long seconds;
    HttpHeaders::contentRange(range, &first, &last, &total);
    HttpHeaders::retryAfter(retry, 1700000000, &seconds);
    HttpHeaders::isWebPage(retry);
    AnswerBytes bytes(input.substr(pos));
    PMTilesPicker picker(bytes);
    std::string error;
    std::vector<PMTiles::Entry> picked;
    // Levels 0 to 3 whole and a corner of level 12, as an extract asks.
    const std::vector<PMTilesPicker::IdRange> wanted = {{0, 85}, {PMTiles::tileId(12, 0, 0), PMTiles::tileId(12, 0, 0) + 4096}};
    if (!picker.open(&error) || !picker.pick(wanted, &picked, &error))
        return 0;
    std::size_t visited = 0;
    picker.fetch(picked, 64, 4096, [&](const PMTiles::Entry&, const std::string&) { return ++visited < 1000; }, &error);
    return 0;
}
