#ifndef TESSEL_METADATATEXT_H
#define TESSEL_METADATATEXT_H

#include <cstddef>
#include <string>

// Text from archive metadata, made fit for one line of the screen.
namespace MetadataText {

// Names and attributions an archive declares are cut to this many bytes
// (at a character's start) where they are read, before anything else is
// done with them: a file may declare megabytes.
const std::size_t maxTextBytes = 1024;
std::string bounded(std::string text);

// Attribution HTML as plain text: tags dropped, the usual entities and
// numeric references decoded (UTF-8), runs of blanks and line breaks made
// one space, blanks at the ends trimmed. Linear in the input, which is cut
// to maxTextBytes first.
std::string fromHtml(const std::string& html);

// The string value of top-level key `key` of a JSON object, escapes
// decoded; false when there is none or it is not a string.
bool jsonString(const std::string& json, const std::string& key, std::string* value);

// A code point as UTF-8 (nothing for invalid ones).
std::string utf8(unsigned long codePoint);

} // namespace MetadataText

#endif
