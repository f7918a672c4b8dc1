#ifndef TESSEL_HTTPHEADERS_H
#define TESSEL_HTTPHEADERS_H

#include <cstdint>
#include <string>

// The header values the toolbox acts on, read strictly (a server's
// answers are outside bytes).
namespace HttpHeaders {

// "bytes FIRST-LAST/TOTAL" (TOTAL may be "*": *total is then 0); false
// unless FIRST <= LAST < TOTAL.
bool contentRange(const std::string& value, std::uint64_t* first, std::uint64_t* last, std::uint64_t* total);

// Retry-After as seconds from `now` (Unix time): delay-seconds or an HTTP
// date (a past date is 0); false when it is neither.
bool retryAfter(const std::string& value, long long now, long long* seconds);

// Whether a Content-Type names a web page rather than data.
bool isWebPage(const std::string& contentType);

} // namespace HttpHeaders

#endif
