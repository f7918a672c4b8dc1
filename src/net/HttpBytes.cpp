#include "HttpBytes.h"

#include "HttpHeaders.h"

HttpBytes::HttpBytes(Fetcher& fetcher, const std::string& url) : fetcher(fetcher), url(url)
{
    label = url;
}

bool HttpBytes::fail(std::string* error, const std::string& why) const
{
    *error = url + ": " + why;
    return false;
}

bool HttpBytes::checkRange(const HttpReply& r, std::uint64_t offset, std::uint64_t length, std::string* error)
{
    std::uint64_t first, last, size;
    if (!HttpHeaders::contentRange(r.contentRange, &first, &last, &size))
        return fail(error, "the server answered a range request without a valid Content-Range");
    if (first != offset || last - first + 1 != r.body.size() || last - first + 1 > length)
        return fail(error, "the server sent other bytes than those asked for (Content-Range " + r.contentRange + ")");
    if (size != 0 && total != ~0ull && size != total)
        return fail(error, "the file changed on the server while it was read");
    if (size != 0)
        total = size;
    if (r.body.size() < length && size != 0 && last + 1 != size)
        return fail(error, "the server sent fewer bytes than asked for before the end of the file");
    return true;
}

bool HttpBytes::read(std::uint64_t offset, std::uint64_t length, std::string* out, std::string* error)
{
    if (length == 0) {
        out->clear();
        return true;
    }
    HttpReply r;
    // A server that ignores the range would send the whole file: stop it.
    if (!fetcher.get(url, offset, length, &r, error, static_cast<std::size_t>(length) + 1))
        return false;
    if (r.tooLarge)
        return fail(error, "the server does not answer range requests");
    if (r.status == 0)
        return fail(error, r.failure);
    if (r.status >= 200 && r.status < 300 && HttpHeaders::isWebPage(r.contentType))
        return fail(error, "the server answered with a web page, not an archive");
    if (r.status == 206) {
        if (!checkRange(r, offset, length, error))
            return false;
    } else if (r.status == 200) {
        // The whole file, smaller than the range asked for.
        if (offset != 0)
            return fail(error, "the server does not answer range requests");
        total = r.body.size();
    } else if (r.status == 416) {
        return fail(error, "read past the end of the file");
    } else {
        return fail(error, "HTTP " + std::to_string(r.status) + (r.status == 404 ? " (not found)" : ""));
    }
    out->swap(r.body);
    return true;
}
