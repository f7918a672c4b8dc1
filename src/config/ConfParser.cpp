#include "ConfParser.h"

#include "Hex.h"
#include "SafeFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <unistd.h>

namespace {

const int endOfFile = std::char_traits<char>::eof();

// Character source over a stream with a small push-back, so that the bytes
// read while looking for the UTF-8 signature can be given back.
class CharSource {
public:
    explicit CharSource(std::istream& in) : in(in) {}

    int peek()
    {
        if (!pending.empty())
            return static_cast<unsigned char>(pending.front());
        return in.peek();
    }

    int get()
    {
        if (!pending.empty()) {
            const int c = static_cast<unsigned char>(pending.front());
            pending.erase(0, 1);
            return c;
        }
        return in.get();
    }

    void giveBack(const std::string& bytes) { pending = bytes + pending; }

    // Drops characters through the next line feed (or to the end).
    void skipLine()
    {
        int c;
        do {
            c = get();
        } while (c != endOfFile && c != '\n');
    }

    // Drops a line end: a CR, then a LF, each only if present.
    void skipLineEnd()
    {
        if (peek() == '\r')
            get();
        if (peek() == '\n')
            get();
    }

private:
    std::istream& in;
    std::string pending;
};

void dropSignature(CharSource& src)
{
    if (src.peek() != 0xEF)
        return;
    std::string bytes;
    while (bytes.size() < 3 && src.peek() != endOfFile && src.peek() != '\n')
        bytes += static_cast<char>(src.get());
    if (bytes != "\xEF\xBB\xBF")
        src.giveBack(bytes);
}

// Reads up to (not including) the line feed. Text past `limit` characters is
// dropped with the rest of the line; otherwise the line end is consumed too.
std::string readToLineEnd(CharSource& src, std::size_t limit)
{
    std::string text;
    int c;
    while ((c = src.peek()) != endOfFile && c != '\n' && text.size() < limit)
        text += static_cast<char>(src.get());
    src.skipLine();
    return text;
}

void trimTrailingBlanks(std::string* text)
{
    const std::size_t end = text->find_last_not_of(" \t\r");
    text->erase(end == std::string::npos ? 0 : end + 1);
}

// The value after "k=\"". It ends at the last quote of its line, so quotes
// inside a value (and at its ends) come back as written. A line without a
// closing quote starts a value of several lines, as older files have them:
// it runs to the next quote. The rest of the closing line is dropped.
std::string readQuotedValue(CharSource& src)
{
    std::string text;
    int c;
    while ((c = src.peek()) != endOfFile && c != '\n' && text.size() <= ConfParser::maxValue)
        text += static_cast<char>(src.get());
    const std::size_t close = text.rfind('"');
    if (close != std::string::npos || text.size() >= ConfParser::maxValue) {
        src.skipLine();
        text.resize(close != std::string::npos ? close : ConfParser::maxValue);
        return text;
    }
    while ((c = src.peek()) != endOfFile && c != '"' && text.size() < ConfParser::maxValue)
        text += static_cast<char>(src.get());
    if (c == '"' || text.size() >= ConfParser::maxValue)
        src.skipLine();
    return text;
}

std::string readValue(CharSource& src)
{
    const int v = src.peek();
    if (v == '"') {
        src.get();
        return readQuotedValue(src);
    }
    if (v == '\n') {
        src.get();
        return std::string();
    }
    std::string text = readToLineEnd(src, ConfParser::maxValue);
    trimTrailingBlanks(&text);
    return text;
}

// A key line: the name runs to the first '=' on its line. Returns false
// when no entry is to be made (a line that begins with '='). A line without
// '=' is no entry: it is kept as it was, like a comment, and never joins the
// next line.
bool readKeyLine(CharSource& src, ConfParameter* entry)
{
    if (src.peek() == '=') {
        src.skipLine();
        return false;
    }
    std::string text;
    int c;
    while ((c = src.peek()) != endOfFile && c != '=' && c != '\n' && text.size() < ConfParser::maxValue)
        text += static_cast<char>(src.get());
    entry->name.clear();
    entry->value.clear();
    if (c == '=' && text.size() <= ConfParser::maxName) {
        src.get();
        entry->name = text;
        entry->value = readValue(src);
        return true;
    }
    bool key = c == '=';
    while ((c = src.get()) != endOfFile && c != '\n')
        key = key || c == '=';
    if (key) {
        // Name too long for the format: keep what fits, drop the line's rest.
        entry->name = text.substr(0, ConfParser::maxName);
    } else {
        trimTrailingBlanks(&text);
        entry->value = text;
    }
    return true;
}

// The whole text in a fresh file, forced to the disk before the file
// replaces anything.
bool writeDurably(const std::string& path, const ConfParser& parser)
{
    std::ostringstream text;
    parser.write(text);
    return SafeFile::writeDurably(path, text.str());
}

bool isTrue(const std::string& text)
{
    return text == "yes" || text == "1" || text == "on" || text == "true";
}

// Unquoted, a value would lose blanks at its end, a quote at its start, or
// be cut at a line end; quoted, it reads back whole (see readQuotedValue).
bool needsQuotes(const std::string& text)
{
    return text.find_first_of(" \t\r\n\"") != std::string::npos;
}

// What changeValue stores: control characters as spaces, at most maxValue
// bytes, never ending inside a UTF-8 sequence.
std::string storable(std::string text)
{
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    if (text.size() > ConfParser::maxValue) {
        std::size_t end = ConfParser::maxValue;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        text.resize(end);
    }
    return text;
}

} // namespace

ConfParser::ConfParser(std::string file, int mode) : file(std::move(file)), changed(false), mode(mode)
{
    readFile();
}

std::string ConfParser::leftover() const
{
    if (file.empty() || SafeFile::present(file))
        return std::string();
    const std::string candidates[2] = {file + ".new", file + "~"};
    const long long times[2] = {SafeFile::modifiedTime(candidates[0]), SafeFile::modifiedTime(candidates[1])};
    if (times[0] < 0 && times[1] < 0)
        return std::string();
    return times[0] >= times[1] ? candidates[0] : candidates[1];
}

ConfParser ConfParser::recovered(std::string file, int mode)
{
    ConfParser conf(std::move(file), mode);
    conf.recover();
    return conf;
}

void ConfParser::readFile()
{
    // Only regular files of a sane size: a FIFO or a link to a device in
    // place of a package's map.conf must not hang or swamp the program.
    std::string bytes;
    if (file.empty() || !SafeFile::readRegular(file, maxFileBytes, &bytes))
        return;
    std::istringstream in(bytes);
    read(in);
}

// A save interrupted by an older version of this program could leave only
// "<file>.new" and "<file>~": the file comes back from the newer of them.
// Only regular files are taken, and only when nothing at all (not even a
// dangling link) is at the name, which is then created afresh.
bool ConfParser::recover()
{
    const std::string from = leftover();
    if (from.empty() || !SafeFile::copyDurably(from, file, false))
        return false;
    SafeFile::syncDirectoryOf(file);
    std::fprintf(stderr, "tessel: %s was missing; recovered from %s\n", file.c_str(), from.c_str());
    readFile();
    return true;
}

void ConfParser::read(std::istream& in)
{
    parameters.clear();
    CharSource src(in);
    dropSignature(src);
    for (;;) {
        const int c = src.peek();
        if (c == endOfFile)
            break;
        if (c == ' ' || c == '\t') {
            src.get();
            continue;
        }
        ConfParameter entry;
        if (c == ';' || c == '#') {
            entry.value = readToLineEnd(src, maxValue);
        } else if (c == '\r' || c == '\n') {
            src.skipLineEnd();
        } else if (!readKeyLine(src, &entry)) {
            continue;
        }
        parameters.push_back(entry);
    }
}

void ConfParser::write(std::ostream& out) const
{
    for (const ConfParameter& p : parameters) {
        if (p.name.empty())
            out << p.value;
        else if (needsQuotes(p.value))
            out << p.name << "=\"" << p.value << '"';
        else
            out << p.name << '=' << p.value;
        out << '\n';
    }
}

// At every instant the file's name holds a complete file, the old one or the
// new one: the new text is written and synced beside it, the old file gets
// its second name "~" (a hard link, else a synced copy), and the new one is
// renamed over the name; then the directory is synced.
bool ConfParser::save()
{
    if (!changed)
        return true;

    const std::string temporary = file + ".new";
    const std::string backup = file + "~";
    if (!writeDurably(temporary, *this))
        return false;
    if (SafeFile::present(file)) {
        unlink(backup.c_str());
        if (link(file.c_str(), backup.c_str()) != 0 && !SafeFile::copyDurably(file, backup)) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), file.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    SafeFile::syncDirectoryOf(file);
    changed = false;
    return true;
}

bool ConfParser::changeValue(std::string name, std::string value, int index)
{
    int count = 0;
    for (ConfParameter& p : parameters) {
        if (p.name != name)
            continue;
        if (count == index) {
            p.value = storable(std::move(value));
            changed = true;
            return true;
        }
        ++count;
    }
    return false;
}

bool ConfParser::setValue(const std::string& name, const std::string& value)
{
    if (changeValue(name, value, 0))
        return true;
    parameters.push_back(ConfParameter{name.substr(0, maxName), storable(value)});
    changed = true;
    return true;
}

bool ConfParser::changeValue(std::string name, int value, int index)
{
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    return changeValue(name, std::string(text), index);
}

std::vector<ConfParameter>::const_iterator ConfParser::value(std::string name, std::string* out,
                                                             std::vector<ConfParameter>::const_iterator from) const
{
    for (auto it = from; it != parameters.end(); ++it) {
        if (it->name == name) {
            *out = it->value;
            return it + 1;
        }
    }
    return parameters.end();
}

bool ConfParser::value(std::string name, std::string* out) const
{
    for (const ConfParameter& p : parameters) {
        if (p.name == name) {
            *out = p.value;
            return true;
        }
    }
    return false;
}

bool ConfParser::stringValue(std::string name, std::string* out) const
{
    return value(name, out);
}

bool ConfParser::intValue(std::string name, int* out) const
{
    std::string text;
    if (!value(name, &text))
        return false;
    *out = std::atoi(text.c_str());
    return true;
}

bool ConfParser::hexValue(std::string name, int* out) const
{
    std::string text;
    if (!value(name, &text))
        return false;
    *out = Hex(text);
    return true;
}

bool ConfParser::boolValue(std::string name, bool* out) const
{
    std::string text;
    if (!value(name, &text))
        return false;
    *out = isTrue(text);
    return true;
}

bool ConfParser::charValue(std::string name, char* out, std::size_t size) const
{
    std::string text;
    if (!value(name, &text))
        return false;
    if (size == 0)
        return true;
    const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return true;
}

template <typename T, typename Convert>
bool ConfParser::listValue(const std::string& name, std::vector<T>* out, Convert convert) const
{
    std::vector<T> found;
    for (const ConfParameter& p : parameters)
        if (p.name == name)
            found.push_back(convert(p.value));
    if (found.empty())
        return false;
    *out = found;
    return true;
}

bool ConfParser::intValue(std::string name, std::vector<int>* out) const
{
    return listValue(name, out, [](const std::string& v) { return std::atoi(v.c_str()); });
}

bool ConfParser::hexValue(std::string name, std::vector<int>* out) const
{
    return listValue(name, out, [](const std::string& v) { return Hex(v); });
}

bool ConfParser::stringValue(std::string name, std::vector<std::string>* out) const
{
    return listValue(name, out, [](const std::string& v) { return v; });
}

bool ConfParser::boolValue(std::string name, std::vector<bool>* out) const
{
    return listValue(name, out, [](const std::string& v) { return isTrue(v); });
}
