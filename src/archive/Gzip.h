#ifndef TESSEL_GZIP_H
#define TESSEL_GZIP_H

#include <cstddef>
#include <string>

namespace Gzip {

// gzip (or zlib) data inflated through zlib; false when it is not valid or
// would come to more than `limit` bytes (a bomb stops at the limit).
bool inflate(const std::string& in, std::string* out, std::size_t limit);
// gzip data of `plain` (as PMTiles stores its directories).
std::string deflate(const std::string& plain);

} // namespace Gzip

#endif
