#ifndef TESSEL_HTTPCLIENT_H
#define TESSEL_HTTPCLIENT_H

#include "HttpReply.h"

#include <cstdint>
#include <functional>

// HTTP and HTTPS GET requests through libcurl, one at a time over one
// kept-alive connection. Redirects are followed a few times (one to
// another protocol than HTTP(S) is refused, for good); a transfer that
// stalls or trickles is given up; bodies are bounded.
class HttpClient {
public:
    struct Settings {
        std::string userAgent = "Tessel";
        long connectSeconds = 20;
        // Fewer than slowBytesPerSecond for this long end a transfer: a
        // server trickling a few bytes a second is as good as stalled.
        long stallSeconds = 30;
        long slowBytesPerSecond = 256;
        int maxRedirects = 5;
        std::size_t maxBody = 64u << 20;
    };

    explicit HttpClient(const Settings& settings);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // GETs `url`; bytes from..from+length-1 only when length > 0. A body
    // longer than `maxBody` (or than `limit` when given) is cut off.
    void get(const std::string& url, std::uint64_t from, std::uint64_t length, HttpReply* reply,
             std::size_t limit = 0);

    std::uint64_t requests = 0, bytesReceived = 0;
    // Asked while a transfer runs: true ends it (Ctrl-C during a long read).
    std::function<bool()> interrupted;

private:
    Settings settings;
    void* curl = nullptr;
};

#endif
