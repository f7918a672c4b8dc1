#include "MetadataText.h"

#include <cstdlib>
#include <cstring>

namespace MetadataText {

std::string utf8(unsigned long c)
{
    std::string out;
    if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

namespace {

// The entity starting at html[at] ('&'); *length its size. Empty when it
// is not one this knows (the '&' is then kept as it is).
std::string entity(const std::string& html, std::size_t at, std::size_t* length)
{
    // Only the few bytes an entity can take are searched: a search to the
    // end at every '&' made a long run of them quadratic.
    std::size_t end = std::string::npos;
    for (std::size_t i = at + 1; i < html.size() && i - at <= 10 && end == std::string::npos; ++i)
        if (html[i] == ';')
            end = i;
    if (end == std::string::npos)
        return std::string();
    const std::string name = html.substr(at + 1, end - at - 1);
    *length = end - at + 1;
    static const struct {
        const char* name;
        unsigned long code;
    } named[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '},
                 {"copy", 0xA9}, {"reg", 0xAE}, {"mdash", 0x2014}, {"ndash", 0x2013}, {"middot", 0xB7}};
    for (const auto& n : named)
        if (name == n.name)
            return utf8(n.code);
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
            return std::string();
        return utf8(std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10));
    }
    return std::string();
}

} // namespace

std::string bounded(std::string text)
{
    if (text.size() <= maxTextBytes)
        return text;
    std::size_t end = maxTextBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

std::string fromHtml(const std::string& input)
{
    const std::string html = bounded(input);
    std::string text;
    bool blank = false;
    auto add = [&](const std::string& piece) {
        for (char c : piece) {
            const bool isBlank = c == ' ' || c == '\t' || c == '\n' || c == '\r' || static_cast<unsigned char>(c) < 0x20;
            if (isBlank) {
                blank = !text.empty();
                continue;
            }
            if (blank)
                text += ' ';
            blank = false;
            text += c;
        }
    };
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            const std::size_t close = html.find('>', i);
            if (close == std::string::npos)
                break;
            i = close + 1;
            continue;
        }
        if (html[i] == '&') {
            std::size_t length = 0;
            const std::string decoded = entity(html, i, &length);
            if (!decoded.empty()) {
                add(decoded);
                i += length;
                continue;
            }
        }
        add(std::string(1, html[i]));
        ++i;
    }
    return text;
}

namespace {

void skipBlanks(const std::string& s, std::size_t* i)
{
    while (*i < s.size() && std::strchr(" \t\r\n", s[*i]) && s[*i] != '\0')
        ++*i;
}

unsigned long hex4(const std::string& s, std::size_t at, bool* ok)
{
    if (at + 4 > s.size()) {
        *ok = false;
        return 0;
    }
    const std::string digits = s.substr(at, 4);
    *ok = digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    return std::strtoul(digits.c_str(), nullptr, 16);
}

// A JSON string starting at s[*i] ('"'); *i ends after it.
bool readString(const std::string& s, std::size_t* i, std::string* out)
{
    out->clear();
    for (++*i; *i < s.size(); ++*i) {
        const char c = s[*i];
        if (c == '"') {
            ++*i;
            return true;
        }
        if (c != '\\') {
            *out += c;
            continue;
        }
        if (++*i >= s.size())
            return false;
        const char e = s[*i];
        const char* plain = std::strchr("\"\\/bfnrt", e);
        if (plain && e != '\0') {
            static const char decoded[] = "\"\\/\b\f\n\r\t";
            *out += decoded[plain - "\"\\/bfnrt"];
            continue;
        }
        if (e != 'u')
            return false;
        bool ok = true;
        unsigned long code = hex4(s, *i + 1, &ok);
        *i += 4;
        if (ok && code >= 0xD800 && code < 0xDC00 && *i + 6 < s.size() && s[*i + 1] == '\\' && s[*i + 2] == 'u') {
            const unsigned long low = hex4(s, *i + 3, &ok);
            if (ok && low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                *i += 6;
            }
        }
        if (!ok)
            return false;
        *out += utf8(code);
    }
    return false;
}

// Skips one JSON value of any kind, nested ones included, without
// recursion (depth is counted).
bool skipValue(const std::string& s, std::size_t* i)
{
    int depth = 0;
    std::string ignored;
    do {
        skipBlanks(s, i);
        if (*i >= s.size())
            return false;
        const char c = s[*i];
        if (c == '"') {
            if (!readString(s, i, &ignored))
                return false;
        } else if (c == '{' || c == '[') {
            ++depth;
            ++*i;
        } else if (c == '}' || c == ']') {
            --depth;
            ++*i;
        } else if (depth > 0) {
            ++*i; // numbers, literals, ',' and ':' inside containers
        } else {
            while (*i < s.size() && !std::strchr(",}] \t\r\n", s[*i]))
                ++*i; // a number or literal on its own
        }
    } while (depth > 0);
    return depth == 0;
}

} // namespace

bool jsonString(const std::string& json, const std::string& key, std::string* value)
{
    std::size_t i = 0;
    skipBlanks(json, &i);
    if (i >= json.size() || json[i] != '{')
        return false;
    ++i;
    std::string name, text;
    for (;;) {
        skipBlanks(json, &i);
        if (i >= json.size() || json[i] != '"' || !readString(json, &i, &name))
            return false;
        skipBlanks(json, &i);
        if (i >= json.size() || json[i] != ':')
            return false;
        ++i;
        skipBlanks(json, &i);
        if (i < json.size() && json[i] == '"') {
            if (!readString(json, &i, &text))
                return false;
            if (name == key) {
                *value = text;
                return true;
            }
        } else if (!skipValue(json, &i)) {
            return false;
        }
        skipBlanks(json, &i);
        if (i >= json.size() || json[i] != ',')
            return false;
        ++i;
    }
}

} // namespace MetadataText
