#ifndef TESSEL_UTF8_H
#define TESSEL_UTF8_H

#include <string>

namespace Utf8 {

// The character at byte *i, *i moved past it; false (nothing moved) for
// bytes that are not UTF-8 as strictly as cairo reads it: no overlong
// forms, no surrogates, nothing past U+10FFFF, no noncharacters (cairo
// refuses such text and then stops drawing for good).
bool next(const std::string& s, std::size_t* i, char32_t* out);

bool valid(const std::string& s);

} // namespace Utf8

#endif
