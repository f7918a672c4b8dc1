#include "HttpClient.h"

#include <algorithm>
#include <cctype>
#include <curl/curl.h>
#include <mutex>

namespace {

struct Transfer {
    HttpReply* reply;
    std::size_t limit;
    const std::function<bool()>& interrupted;
};

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const Transfer* t = static_cast<const Transfer*>(user);
    return t->interrupted && t->interrupted() ? 1 : 0;
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user)
{
    Transfer* t = static_cast<Transfer*>(user);
    const std::size_t n = size * count;
    if (t->reply->body.size() + n > t->limit) {
        t->reply->tooLarge = true;
        return 0; // ends the transfer
    }
    t->reply->body.append(data, n);
    return n;
}

std::string trimmed(const std::string& s)
{
    const std::size_t a = s.find_first_not_of(" \t\r\n");
    const std::size_t b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// Headers of the final answer: a new status line (after a redirect)
// forgets the earlier ones.
std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user)
{
    HttpReply* reply = static_cast<Transfer*>(user)->reply;
    const std::string line(data, size * count);
    if (line.compare(0, 5, "HTTP/") == 0) {
        reply->contentRange.clear();
        reply->contentType.clear();
        reply->retryAfter.clear();
        return size * count;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos)
        return size * count;
    std::string name = line.substr(0, colon);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::string value = trimmed(line.substr(colon + 1));
    if (name == "content-range")
        reply->contentRange = value;
    else if (name == "content-type")
        reply->contentType = value;
    else if (name == "retry-after")
        reply->retryAfter = value;
    return size * count;
}

} // namespace

HttpClient::HttpClient(const Settings& s) : settings(s)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    curl = curl_easy_init();
}

HttpClient::~HttpClient()
{
    if (curl)
        curl_easy_cleanup(static_cast<CURL*>(curl));
}

void HttpClient::get(const std::string& url, std::uint64_t from, std::uint64_t length, HttpReply* reply,
                     std::size_t limit)
{
    *reply = HttpReply();
    CURL* c = static_cast<CURL*>(curl);
    if (!c) {
        reply->failure = "cannot start a transfer";
        return;
    }
    Transfer transfer{reply, limit ? limit : settings.maxBody, interrupted};
    const std::string range = std::to_string(from) + "-" + std::to_string(from + length - 1);
    curl_easy_reset(c);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, static_cast<long>(settings.maxRedirects));
    curl_easy_setopt(c, CURLOPT_USERAGENT, settings.userAgent.c_str());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, settings.connectSeconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, settings.slowBytesPerSecond);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, settings.stallSeconds);
    curl_easy_setopt(c, CURLOPT_MAXCONNECTS, 2L);
    if (length > 0)
        curl_easy_setopt(c, CURLOPT_RANGE, range.c_str());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    ++requests;
    const CURLcode result = curl_easy_perform(c);
    bytesReceived += reply->body.size();
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply->status);
    if (result == CURLE_WRITE_ERROR && reply->tooLarge)
        return;
    if (result != CURLE_OK) {
        reply->status = 0;
        reply->lasting = result == CURLE_UNSUPPORTED_PROTOCOL || result == CURLE_TOO_MANY_REDIRECTS;
        reply->failure = result == CURLE_OPERATION_TIMEDOUT      ? "the server stopped answering"
                         : result == CURLE_UNSUPPORTED_PROTOCOL  ? "a redirect to another protocol than HTTP or HTTPS"
                         : result == CURLE_TOO_MANY_REDIRECTS    ? "too many redirects"
                         : result == CURLE_ABORTED_BY_CALLBACK ? "interrupted"
                                                                 : curl_easy_strerror(result);
    }
}
