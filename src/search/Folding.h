#ifndef TESSEL_SEARCH_FOLDING_H
#define TESSEL_SEARCH_FOLDING_H

#include <string>
#include <vector>

// Names as the search compares them: without case or diacritics
// ("Zürich" = "zurich", "Plzeň" = "plzen", "ß" = "ss"), cut into words of
// letters and digits. Any bytes are taken; invalid UTF-8 is dropped.
namespace Folding {

// Longest word kept (bytes), most words taken from one text, longest text read.
const std::size_t maxWordBytes = 64;
const std::size_t maxWords = 24;
const std::size_t maxTextBytes = 1024;

// The folded text: compatibility decomposition, full case folding, marks
// removed, and the Latin letters Unicode does not decompose (ł, ø, đ, æ,
// œ, þ, ı, ħ) written as their base letters.
std::string fold(const std::string& text);
// The folded words of a text, in order, each at most maxWordBytes.
std::vector<std::string> words(const std::string& text);
// The text cut to at most `bytes` bytes at a character boundary, with
// invalid UTF-8 and control characters dropped: safe to show and store.
std::string clean(const std::string& text, std::size_t bytes);
// Characters (not bytes) in a UTF-8 string.
std::size_t characters(const std::string& text);
// The first `n` characters of a UTF-8 string.
std::string firstCharacters(const std::string& text, std::size_t n);

} // namespace Folding

#endif
