#include "IndexBlock.h"

#include "Folding.h"
#include "Varint.h"

#include <cctype>
#include <cstring>
#include <lz4.h>
#include <lz4hc.h>

namespace {

// Each byte's lower case when it is an ASCII letter or digit, else 0.
// `cased`: every byte in ASCII lower case.
struct LowerTable {
    unsigned char lower[256], cased[256];
    LowerTable()
    {
        for (int c = 0; c < 256; ++c) {
            lower[c] = c < 0x80 && std::isalnum(c) ? static_cast<unsigned char>(std::tolower(c)) : 0;
            cased[c] = static_cast<unsigned char>(c < 0x80 ? std::tolower(c) : c);
        }
    }
};
const LowerTable table;

void putText(std::string* out, const std::string& text, const std::string& folded)
{
    const bool differs = folded != IndexBlock::asciiWords(text);
    Varint::put(out, (static_cast<std::uint64_t>(text.size()) << 1) | (differs ? 1 : 0));
    *out += text;
    if (differs) {
        Varint::put(out, folded.size());
        *out += folded;
    }
}

} // namespace

std::size_t IndexBlock::asciiWords(const char* text, std::size_t size, char* out)
{
    char* o = out;
    bool gap = false;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char l = table.lower[static_cast<unsigned char>(text[i])];
        if (!l) {
            gap = true;
            continue;
        }
        if (gap && o != out)
            *o++ = ' ';
        gap = false;
        *o++ = static_cast<char>(l);
    }
    return static_cast<std::size_t>(o - out);
}

std::string IndexBlock::asciiWords(const std::string& text)
{
    std::string out(2 * text.size(), '\0');
    out.resize(asciiWords(text.data(), text.size(), &out[0]));
    return out;
}

std::string IndexBlock::joinedWords(const std::string& text)
{
    std::string out;
    for (const std::string& w : Folding::words(text)) {
        if (!out.empty())
            out += ' ';
        out += w;
    }
    return out;
}

std::string IndexBlock::encode()
{
    std::string plain;
    Varint::put(&plain, places.size());
    placesFolded.clear();
    for (const std::string& p : places) {
        placesFolded.push_back(joinedWords(p));
        putText(&plain, p, placesFolded.back());
    }
    Varint::put(&plain, entries.size());
    std::int32_t lat = 0, lon = 0;
    for (Entry& item : entries) {
        Varint::put(&plain, item.kind);
        Varint::putSigned(&plain, static_cast<std::int64_t>(item.lat) - lat);
        Varint::putSigned(&plain, static_cast<std::int64_t>(item.lon) - lon);
        lat = item.lat;
        lon = item.lon;
        Varint::put(&plain, static_cast<std::uint64_t>(item.place + 1));
        Varint::put(&plain, item.names.size());
        item.folded.clear();
        for (const std::string& name : item.names) {
            item.folded.push_back(joinedWords(name));
            putText(&plain, name, item.folded.back());
        }
    }
    // LZ4 rather than deflate: a search inflates hundreds of blocks per
    // keystroke, and LZ4 gives them back several times faster.
    std::string out;
    Varint::put(&out, plain.size());
    const std::size_t head = out.size();
    out.resize(head + static_cast<std::size_t>(LZ4_compressBound(static_cast<int>(plain.size()))));
    const int size = LZ4_compress_HC(plain.data(), &out[head], static_cast<int>(plain.size()),
                                     static_cast<int>(out.size() - head), LZ4HC_CLEVEL_MAX);
    out.resize(head + static_cast<std::size_t>(size > 0 ? size : 0));
    return out;
}

namespace {

// Whether `p` holds `word` (lower case) in any case.
bool sameLower(const char* p, const std::string& word)
{
    for (std::size_t i = 0; i < word.size(); ++i)
        if (table.cased[static_cast<unsigned char>(p[i])] != static_cast<unsigned char>(word[i]))
            return false;
    return true;
}

// Whether `word` starts a word of `text`: words are joined by spaces in a
// stored folding, and are runs of letters and digits in an ASCII text,
// which is matched in any case where it lies (no lower-case copy is made
// of texts that are never matched).
bool startsIn(const char* text, std::size_t size, const std::string& word, bool first, bool ascii)
{
    const std::size_t n = word.size();
    const char* p = text;
    const char* const end = text + size;
    if (first) {
        while (ascii && p < end && !table.lower[static_cast<unsigned char>(*p)])
            ++p;
        return static_cast<std::size_t>(end - p) >= n && (ascii ? sameLower(p, word) : std::memcmp(p, word.data(), n) == 0);
    }
    if (n > size || n == 0)
        return n == 0;
    const char* const last = end - n;
    if (ascii) {
        const unsigned char head = static_cast<unsigned char>(word[0]);
        for (; p <= last; ++p)
            if (table.cased[static_cast<unsigned char>(*p)] == head &&
                (p == text || !table.lower[static_cast<unsigned char>(p[-1])]) && sameLower(p, word))
                return true;
        return false;
    }
    while (p <= last) {
        p = static_cast<const char*>(std::memchr(p, word[0], static_cast<std::size_t>(last - p) + 1));
        if (!p)
            return false;
        if ((p == text || p[-1] == ' ') && std::memcmp(p, word.data(), n) == 0)
            return true;
        ++p;
    }
    return false;
}

} // namespace

bool IndexBlock::startsWord(const Text& t, const std::string& word, bool first) const
{
    return startsIn(raw.data() + t.foldedAt, t.foldedSize, word, first, t.ascii);
}

bool IndexBlock::readText(const unsigned char** p, const unsigned char* end, Text* t)
{
    std::uint64_t head = 0, n = 0;
    if (!Varint::get(p, end, &head) || (head >> 1) > static_cast<std::uint64_t>(end - *p))
        return false;
    const auto* base = reinterpret_cast<const unsigned char*>(raw.data());
    t->at = static_cast<std::uint32_t>(*p - base);
    t->size = static_cast<std::uint32_t>(head >> 1);
    *p += t->size;
    t->ascii = !(head & 1);
    t->foldedAt = t->at;
    t->foldedSize = t->size;
    if (!t->ascii) {
        if (!Varint::get(p, end, &n) || n > static_cast<std::uint64_t>(end - *p))
            return false;
        t->foldedAt = static_cast<std::uint32_t>(*p - base);
        t->foldedSize = static_cast<std::uint32_t>(n);
        *p += n;
    }
    return true;
}

bool IndexBlock::decode(const char* data, std::size_t size, std::string* why)
{
    placeTexts.clear();
    nameTexts.clear();
    items.clear();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    std::uint64_t rawSize = 0;
    if (!Varint::get(&p, end, &rawSize) || rawSize > maxRawBytes) {
        *why = "a block's size is out of bounds";
        return false;
    }
    raw.resize(static_cast<std::size_t>(rawSize));
    if (end - p > LZ4_compressBound(static_cast<int>(maxRawBytes)) ||
        LZ4_decompress_safe(reinterpret_cast<const char*>(p), &raw[0], static_cast<int>(end - p),
                            static_cast<int>(rawSize)) != static_cast<int>(rawSize)) {
        *why = "a block does not unpack";
        return false;
    }
    p = reinterpret_cast<const unsigned char*>(raw.data());
    end = p + raw.size();
    std::uint64_t count = 0;
    *why = "a block is damaged";
    if (!Varint::get(&p, end, &count) || count > maxItems)
        return false;
    placeTexts.resize(static_cast<std::size_t>(count));
    for (Text& t : placeTexts)
        if (!readText(&p, end, &t))
            return false;
    if (!Varint::get(&p, end, &count) || count > maxItems)
        return false;
    items.resize(static_cast<std::size_t>(count));
    std::int64_t lat = 0, lon = 0;
    for (Item& item : items) {
        std::uint64_t kind = 0, place = 0, names = 0;
        std::int64_t dlat = 0, dlon = 0;
        if (!Varint::get(&p, end, &kind) || kind > 0xFFFFFFFFu || !Varint::getSigned(&p, end, &dlat) ||
            !Varint::getSigned(&p, end, &dlon) || !Varint::get(&p, end, &place) || place > placeTexts.size() ||
            !Varint::get(&p, end, &names) || names > maxNames || names == 0)
            return false;
        // Each step is bounded, so the sums cannot overflow before the check.
        if (dlat < -360000000 || dlat > 360000000 || dlon < -720000000 || dlon > 720000000)
            return false;
        lat += dlat;
        lon += dlon;
        if (lat < -90000000 || lat > 90000000 || lon < -180000000 || lon > 180000000)
            return false;
        item.kind = static_cast<std::uint32_t>(kind);
        item.lat = static_cast<std::int32_t>(lat);
        item.lon = static_cast<std::int32_t>(lon);
        item.place = static_cast<std::int32_t>(place) - 1;
        item.firstName = static_cast<std::uint32_t>(nameTexts.size());
        item.names = static_cast<std::uint32_t>(names);
        for (std::uint64_t i = 0; i < names; ++i) {
            nameTexts.emplace_back();
            if (!readText(&p, end, &nameTexts.back()))
                return false;
        }
    }
    if (p != end)
        return false;
    why->clear();
    return true;
}
