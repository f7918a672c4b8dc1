#ifndef TESSEL_PACK_TILEURL_H
#define TESSEL_PACK_TILEURL_H

#include <string>

// A tile server's address template: {z}, {x} and {y} (or {-y}, rows
// counted from the south as TMS does).
class TileUrl {
public:
    // False with *error unless it is an http(s) address with {z}, {x} and
    // one of {y}, {-y}, and no other placeholder.
    bool parse(const std::string& pattern, std::string* error);
    std::string of(int z, long long x, long long y) const;
    // The server's name, for messages and the default map name.
    std::string host() const;

private:
    std::string pattern;
};

#endif
