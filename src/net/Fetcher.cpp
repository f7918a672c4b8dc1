#include "Fetcher.h"

#include "HttpHeaders.h"

#include <algorithm>
#include <cmath>

Fetcher::Fetcher(HttpClient& client, Clock& clock, double rate)
    : client(client), clock(clock), interval(rate > 0 ? 1 / rate : 0)
{
}

bool Fetcher::retryable(const HttpReply& r) const
{
    if (r.status == 0)
        return !r.lasting && r.failure != "interrupted" && !r.tooLarge;
    return r.status == 408 || r.status == 429 || r.status >= 500;
}

// Doubling from firstPause, and never shorter than the server's Retry-After.
double Fetcher::pauseAfter(const HttpReply& r, int failures)
{
    long long asked;
    const double backoff = firstPause * std::pow(2.0, failures - 1);
    if (!r.retryAfter.empty() && HttpHeaders::retryAfter(r.retryAfter, clock.unixTime(), &asked))
        return std::max(static_cast<double>(asked), backoff);
    return backoff;
}

// In slices of a second at most, so that an interruption ends a long wait.
void Fetcher::wait(double seconds)
{
    for (double left = seconds; left > 0 && !(interrupted && interrupted()); left -= 1)
        clock.sleep(left < 1 ? left : 1);
}

bool Fetcher::get(const std::string& url, std::uint64_t from, std::uint64_t length, HttpReply* reply,
                  std::string* error, std::size_t limit)
{
    for (int failures = 0;;) {
        const double now = clock.seconds();
        if (now < nextStart)
            wait(nextStart - now);
        if (interrupted && interrupted()) {
            *error = "interrupted";
            return false;
        }
        nextStart = std::max(now, nextStart) + interval;
        client.get(url, from, length, reply, limit);
        if (!retryable(*reply))
            return true;
        const std::string why = reply->status ? "HTTP " + std::to_string(reply->status) : reply->failure;
        const double pause = pauseAfter(*reply, ++failures);
        if (failures >= attempts || pause > maxWait || (interrupted && interrupted())) {
            *error = url + ": " + why +
                     (pause > maxWait ? " (the server asks to wait " + std::to_string(std::lround(pause)) +
                                            " s; try again later)"
                                      : " after " + std::to_string(failures) + " attempts");
            return false;
        }
        if (note)
            note(why + ": waiting " + std::to_string(std::lround(pause)) + " s");
        nextStart = std::max(nextStart, clock.seconds() + pause);
    }
}
