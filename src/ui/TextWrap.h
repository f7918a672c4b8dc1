#ifndef TESSEL_TEXTWRAP_H
#define TESSEL_TEXTWRAP_H

#include <functional>
#include <string>
#include <vector>

// Breaks a text into lines no wider than `width` as `measure` sizes them:
// at spaces where it can, and a word wider than a line (a long path) between
// its UTF-8 characters. A single character wider than the line stands alone.
namespace TextWrap {

// Where the last UTF-8 character of a non-empty text starts.
std::size_t lastCharStart(const std::string& text);

std::vector<std::string> lines(const std::string& text, int width, const std::function<int(const std::string&)>& measure);

} // namespace TextWrap

#endif
