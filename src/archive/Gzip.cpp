#include "Gzip.h"

#include <zlib.h>

namespace Gzip {

bool inflate(const std::string& in, std::string* out, std::size_t limit)
{
    z_stream z{};
    // 15 + 32: accept gzip and zlib headers alike.
    if (inflateInit2(&z, 15 + 32) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    out->clear();
    char chunk[16384];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        out->append(chunk, sizeof chunk - z.avail_out);
        if (out->size() > limit) {
            status = Z_MEM_ERROR;
            break;
        }
        if (status == Z_OK && z.avail_in == 0 && z.avail_out != 0)
            status = Z_BUF_ERROR; // input ended before the stream did
    }
    inflateEnd(&z);
    return status == Z_STREAM_END;
}

std::string deflate(const std::string& plain)
{
    z_stream z{};
    // 15 + 16: a gzip header rather than zlib's.
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::string();
    std::string out(deflateBound(&z, static_cast<uLong>(plain.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    const int status = ::deflate(&z, Z_FINISH);
    out.resize(status == Z_STREAM_END ? z.total_out : 0);
    deflateEnd(&z);
    return out;
}

} // namespace Gzip
