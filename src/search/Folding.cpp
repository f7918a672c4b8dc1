#include "Folding.h"

#include <cstdlib>
#include <utf8proc.h>

namespace {

// Latin letters without a canonical decomposition: utf8proc keeps them as
// they are, while users type the base letter.
const char* latinBase(utf8proc_int32_t c)
{
    switch (c) {
    case 0x0142: return "l";   // ł (after folding Ł)
    case 0x00F8: return "o";   // ø
    case 0x0111: return "d";   // đ
    case 0x00F0: return "d";   // ð
    case 0x00E6: return "ae";  // æ
    case 0x0153: return "oe";  // œ
    case 0x00FE: return "th";  // þ
    case 0x0131: return "i";   // ı
    case 0x0127: return "h";   // ħ
    case 0x0167: return "t";   // ŧ
    case 0x0180: return "b";   // ƀ
    case 0x0138: return "k";   // ĸ
    case 0x014B: return "n";   // ŋ
    default: return nullptr;
    }
}

void append(std::string* out, utf8proc_int32_t c)
{
    utf8proc_uint8_t bytes[4];
    const utf8proc_ssize_t n = utf8proc_encode_char(c, bytes);
    out->append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(n));
}

bool wordCharacter(utf8proc_int32_t c)
{
    const utf8proc_category_t k = utf8proc_category(c);
    return (k >= UTF8PROC_CATEGORY_LU && k <= UTF8PROC_CATEGORY_LO) ||
           (k >= UTF8PROC_CATEGORY_ND && k <= UTF8PROC_CATEGORY_NO);
}

} // namespace

namespace Folding {

std::string clean(const std::string& text, std::size_t bytes)
{
    std::string out;
    const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    utf8proc_ssize_t left = static_cast<utf8proc_ssize_t>(text.size());
    while (left > 0) {
        utf8proc_int32_t c = -1;
        utf8proc_ssize_t n = utf8proc_iterate(p, left, &c);
        if (n <= 0) {
            n = 1;  // an invalid byte: dropped
        } else if (utf8proc_category(c) != UTF8PROC_CATEGORY_CC) {
            const std::size_t before = out.size();
            append(&out, c);
            if (out.size() > bytes) {
                out.resize(before);
                break;
            }
        }
        p += n;
        left -= n;
    }
    return out;
}

std::string fold(const std::string& text)
{
    const std::string valid = clean(text, maxTextBytes);
    utf8proc_uint8_t* mapped = nullptr;
    const utf8proc_ssize_t length = utf8proc_map(
        reinterpret_cast<const utf8proc_uint8_t*>(valid.data()), static_cast<utf8proc_ssize_t>(valid.size()), &mapped,
        static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPAT | UTF8PROC_DECOMPOSE | UTF8PROC_CASEFOLD |
                                       UTF8PROC_STRIPMARK | UTF8PROC_IGNORE));
    std::string out;
    if (length < 0)
        return out;
    const utf8proc_uint8_t* p = mapped;
    utf8proc_ssize_t left = length;
    while (left > 0) {
        utf8proc_int32_t c = 0;
        const utf8proc_ssize_t n = utf8proc_iterate(p, left, &c);
        if (n <= 0)
            break;
        if (const char* base = latinBase(c))
            out += base;
        else
            append(&out, c);
        p += n;
        left -= n;
    }
    std::free(mapped);
    return out;
}

std::vector<std::string> words(const std::string& text)
{
    const std::string folded = fold(text);
    std::vector<std::string> out;
    std::string word;
    const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(folded.data());
    utf8proc_ssize_t left = static_cast<utf8proc_ssize_t>(folded.size());
    auto finish = [&] {
        if (!word.empty() && out.size() < maxWords)
            out.push_back(word);
        word.clear();
    };
    while (left > 0) {
        utf8proc_int32_t c = 0;
        const utf8proc_ssize_t n = utf8proc_iterate(p, left, &c);
        if (n <= 0)
            break;
        if (!wordCharacter(c))
            finish();
        else if (word.size() + static_cast<std::size_t>(n) <= maxWordBytes)
            word.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n));
        p += n;
        left -= n;
    }
    finish();
    return out;
}

std::size_t characters(const std::string& text)
{
    std::size_t n = 0;
    for (unsigned char c : text)
        n += (c & 0xC0) != 0x80;
    return n;
}

std::string firstCharacters(const std::string& text, std::size_t n)
{
    std::size_t i = 0;
    for (; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && n-- == 0)
            break;
    return text.substr(0, i);
}

} // namespace Folding
