#include "HttpHeaders.h"

#include <algorithm>
#include <cctype>
#include <curl/curl.h>

namespace HttpHeaders {

namespace {

// Decimal digits from *pos, at most 18 of them (no overflow).
bool digits(const std::string& s, std::size_t* pos, std::uint64_t* value)
{
    const std::size_t start = *pos;
    *value = 0;
    while (*pos < s.size() && std::isdigit(static_cast<unsigned char>(s[*pos])) && *pos - start < 18)
        *value = *value * 10 + static_cast<std::uint64_t>(s[(*pos)++] - '0');
    return *pos > start && (*pos == s.size() || !std::isdigit(static_cast<unsigned char>(s[*pos])));
}

} // namespace

bool contentRange(const std::string& value, std::uint64_t* first, std::uint64_t* last, std::uint64_t* total)
{
    if (value.compare(0, 6, "bytes ") != 0)
        return false;
    std::size_t pos = 6;
    if (!digits(value, &pos, first) || pos >= value.size() || value[pos++] != '-' || !digits(value, &pos, last) ||
        pos >= value.size() || value[pos++] != '/' || *first > *last)
        return false;
    if (value.compare(pos, std::string::npos, "*") == 0) {
        *total = 0;
        return true;
    }
    return digits(value, &pos, total) && pos == value.size() && *last < *total;
}

bool retryAfter(const std::string& value, long long now, long long* seconds)
{
    std::size_t pos = 0;
    std::uint64_t n;
    if (digits(value, &pos, &n) && pos == value.size()) {
        *seconds = static_cast<long long>(n);
        return true;
    }
    // An HTTP date, read by libcurl.
    const time_t when = curl_getdate(value.c_str(), nullptr);
    if (value.empty() || when == -1)
        return false;
    *seconds = std::max(0ll, static_cast<long long>(when) - now);
    return true;
}

bool isWebPage(const std::string& contentType)
{
    std::string type = contentType.substr(0, contentType.find(';'));
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return std::tolower(c); });
    type.erase(std::remove(type.begin(), type.end(), ' '), type.end());
    return type == "text/html" || type == "application/xhtml+xml";
}

} // namespace HttpHeaders
