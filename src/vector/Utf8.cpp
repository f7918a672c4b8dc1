#include "Utf8.h"

namespace Utf8 {

bool next(const std::string& s, std::size_t* i, char32_t* out)
{
    const unsigned char c = static_cast<unsigned char>(s[*i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || *i + n > s.size())
        return false;
    char32_t code = n == 1 ? c : c & (0x7f >> n);
    for (std::size_t k = 1; k < n; ++k) {
        const unsigned char b = static_cast<unsigned char>(s[*i + k]);
        if ((b >> 6) != 2)
            return false;
        code = (code << 6) | (b & 0x3f);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[n] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff) || (code >= 0xfdd0 && code <= 0xfdef) ||
        (code & 0xfffe) == 0xfffe)
        return false;
    *i += n;
    *out = code;
    return true;
}

bool valid(const std::string& s)
{
    std::size_t i = 0;
    char32_t c = 0;
    while (i < s.size())
        if (!next(s, &i, &c))
            return false;
    return true;
}

} // namespace Utf8
