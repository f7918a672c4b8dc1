#include "Hex.h"

#include <cstdint>

namespace {

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

int Hex(std::string text)
{
    // At most 8 digits are read, so every term fits 32 bits; the sum is
    // taken modulo 2^32 and read back as a signed value.
    const std::size_t first = text.size() > 8 ? text.size() - 8 : 0;
    std::uint32_t sum = 0;
    unsigned place = 0;
    for (std::size_t i = text.size(); i > first; --i) {
        const int digit = digitValue(text[i - 1]);
        if (digit < 0) {
            place = 0;
            continue;
        }
        sum += static_cast<std::uint32_t>(digit) << (4 * place);
        ++place;
    }
    return static_cast<std::int32_t>(sum);
}
