#include "ConfParser.h"

#include "ConfReader.h"
#include "Hex.h"
#include "SafeFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <unistd.h>

namespace {

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
    recoveredFrom = from;
    readFile();
    return true;
}

std::string ConfParser::recoveryNote() const
{
    return recoveredFrom.empty() ? std::string() : file + " was missing; recovered from " + recoveredFrom;
}

void ConfParser::read(std::istream& in)
{
    parameters = ConfReader::read(in);
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
