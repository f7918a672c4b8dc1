#include "ConfReader.h"

#include "ConfParser.h"

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

} // namespace

std::vector<ConfParameter> ConfReader::read(std::istream& in)
{
    std::vector<ConfParameter> parameters;
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
            entry.value = readToLineEnd(src, ConfParser::maxValue);
        } else if (c == '\r' || c == '\n') {
            src.skipLineEnd();
        } else if (!readKeyLine(src, &entry)) {
            continue;
        }
        parameters.push_back(entry);
    }
    return parameters;
}
