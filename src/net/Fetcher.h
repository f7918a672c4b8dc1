#ifndef TESSEL_FETCHER_H
#define TESSEL_FETCHER_H

#include "HttpClient.h"
#include "Clock.h"

#include <functional>

// Polite GETs: requests start at most `rate` a second; answers that ask
// to wait (429, 503 with Retry-After) are honoured, and failures that may
// pass (429, 5xx, lost connections, stalls) are tried again with growing
// pauses, a bounded number of times.
class Fetcher {
public:
    Fetcher(HttpClient& client, Clock& clock, double rate);

    // The final answer, or false with *error when the server kept failing
    // or asked to wait longer than `maxWait`. Answers such as 404 are
    // final and returned as they are.
    bool get(const std::string& url, std::uint64_t from, std::uint64_t length, HttpReply* reply, std::string* error,
             std::size_t limit = 0);

    int attempts = 5;
    double firstPause = 1, maxWait = 600; // seconds
    std::function<void(const std::string&)> note; // says why it waits
    std::function<bool()> interrupted;
    HttpClient& client;

private:
    bool retryable(const HttpReply& reply) const;
    void wait(double seconds);
    double pauseAfter(const HttpReply& reply, int failures);

    Clock& clock;
    double interval, nextStart = 0;
};

#endif
