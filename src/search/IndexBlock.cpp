#include "IndexBlock.h"

#include "Folding.h"
#include "Varint.h"

#include <cctype>
#include <zlib.h>

namespace {

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

void IndexBlock::asciiWords(const char* text, std::size_t size, std::string* out)
{
    bool gap = false;
    const std::size_t start = out->size();
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80 && std::isalnum(c)) {
            if (gap && out->size() > start)
                *out += ' ';
            gap = false;
            *out += static_cast<char>(std::tolower(c));
        } else {
            gap = true;
        }
    }
}

std::string IndexBlock::asciiWords(const std::string& text)
{
    std::string out;
    asciiWords(text.data(), text.size(), &out);
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
    uLongf size = compressBound(static_cast<uLong>(plain.size()));
    std::string out;
    Varint::put(&out, plain.size());
    const std::size_t head = out.size();
    out.resize(head + size);
    compress2(reinterpret_cast<Bytef*>(&out[head]), &size, reinterpret_cast<const Bytef*>(plain.data()),
              static_cast<uLong>(plain.size()), 9);
    out.resize(head + size);
    return out;
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
    t->foldedAt = static_cast<std::uint32_t>(folds.size());
    if (!(head & 1)) {
        asciiWords(raw.data() + t->at, t->size, &folds);
    } else {
        if (!Varint::get(p, end, &n) || n > static_cast<std::uint64_t>(end - *p))
            return false;
        folds.append(reinterpret_cast<const char*>(*p), static_cast<std::size_t>(n));
        *p += n;
    }
    t->foldedSize = static_cast<std::uint32_t>(folds.size() - t->foldedAt);
    return true;
}

bool IndexBlock::decode(const char* data, std::size_t size, std::string* why)
{
    placeTexts.clear();
    nameTexts.clear();
    items.clear();
    folds.clear();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    std::uint64_t rawSize = 0;
    if (!Varint::get(&p, end, &rawSize) || rawSize > maxRawBytes) {
        *why = "a block's size is out of bounds";
        return false;
    }
    raw.resize(static_cast<std::size_t>(rawSize));
    uLongf got = static_cast<uLongf>(rawSize);
    if (uncompress(reinterpret_cast<Bytef*>(&raw[0]), &got, p, static_cast<uLong>(end - p)) != Z_OK || got != rawSize) {
        *why = "a block does not inflate";
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
