#include "TextWrap.h"

namespace TextWrap {

namespace {

// The length of the UTF-8 character that starts at text[i].
std::size_t charLength(const std::string& text, std::size_t i)
{
    std::size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xc0) == 0x80)
        ++n;
    return n;
}

// Appends `word` to the lines, starting a line where it does not fit and
// breaking the word itself where it is wider than a whole line.
void place(const std::string& word, int width, const std::function<int(const std::string&)>& measure,
           std::vector<std::string>* out)
{
    std::string& last = out->back();
    const std::string joined = last.empty() ? word : last + " " + word;
    if (measure(joined) <= width) {
        last = joined;
        return;
    }
    if (!last.empty())
        out->emplace_back();
    for (std::size_t i = 0; i < word.size();) {
        const std::size_t n = charLength(word, i);
        const std::string grown = out->back() + word.substr(i, n);
        if (!out->back().empty() && measure(grown) > width)
            out->emplace_back(word.substr(i, n));
        else
            out->back() = grown;
        i += n;
    }
}

} // namespace

std::size_t lastCharStart(const std::string& text)
{
    std::size_t i = text.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(text[i]) & 0xc0) == 0x80)
        --i;
    return i;
}

std::vector<std::string> lines(const std::string& text, int width, const std::function<int(const std::string&)>& measure)
{
    std::vector<std::string> out(1);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            place(text.substr(start, end - start), width, measure, &out);
        start = end + 1;
    }
    return out;
}

} // namespace TextWrap
