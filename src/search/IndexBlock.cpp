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

struct Reader {
    const unsigned char* p;
    const unsigned char* end;

    bool number(std::uint64_t* v, std::uint64_t limit)
    {
        return Varint::get(&p, end, v) && *v <= limit;
    }
    bool bytes(std::size_t n, std::string* out)
    {
        if (n > static_cast<std::size_t>(end - p))
            return false;
        out->assign(reinterpret_cast<const char*>(p), n);
        p += n;
        return true;
    }
    bool text(std::string* shown, std::string* folded)
    {
        std::uint64_t head = 0, n = 0;
        if (!number(&head, IndexBlock::maxRawBytes) || !bytes(static_cast<std::size_t>(head >> 1), shown))
            return false;
        if (!(head & 1)) {
            *folded = IndexBlock::asciiWords(*shown);
            return true;
        }
        return number(&n, IndexBlock::maxRawBytes) && bytes(static_cast<std::size_t>(n), folded);
    }
};

} // namespace

std::string IndexBlock::asciiWords(const std::string& text)
{
    std::string out;
    bool gap = false;
    for (unsigned char c : text) {
        if (std::isalnum(c) && c < 0x80) {
            if (gap && !out.empty())
                out += ' ';
            gap = false;
            out += static_cast<char>(std::tolower(c));
        } else {
            gap = true;
        }
    }
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
    std::string raw;
    Varint::put(&raw, places.size());
    placesFolded.clear();
    for (const std::string& p : places) {
        placesFolded.push_back(joinedWords(p));
        putText(&raw, p, placesFolded.back());
    }
    Varint::put(&raw, items.size());
    std::int32_t lat = 0, lon = 0;
    for (Item& item : items) {
        Varint::put(&raw, item.kind);
        Varint::putSigned(&raw, static_cast<std::int64_t>(item.lat) - lat);
        Varint::putSigned(&raw, static_cast<std::int64_t>(item.lon) - lon);
        lat = item.lat;
        lon = item.lon;
        Varint::put(&raw, static_cast<std::uint64_t>(item.place + 1));
        Varint::put(&raw, item.names.size());
        item.folded.clear();
        for (const std::string& name : item.names) {
            item.folded.push_back(joinedWords(name));
            putText(&raw, name, item.folded.back());
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string out;
    Varint::put(&out, raw.size());
    const std::size_t head = out.size();
    out.resize(head + size);
    compress2(reinterpret_cast<Bytef*>(&out[head]), &size, reinterpret_cast<const Bytef*>(raw.data()),
              static_cast<uLong>(raw.size()), 9);
    out.resize(head + size);
    return out;
}

bool IndexBlock::decode(const std::string& bytes, std::string* why)
{
    places.clear();
    placesFolded.clear();
    items.clear();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = p + bytes.size();
    std::uint64_t rawSize = 0;
    if (!Varint::get(&p, end, &rawSize) || rawSize > maxRawBytes) {
        *why = "a block's size is out of bounds";
        return false;
    }
    std::string raw(static_cast<std::size_t>(rawSize), '\0');
    uLongf got = static_cast<uLongf>(rawSize);
    if (uncompress(reinterpret_cast<Bytef*>(&raw[0]), &got, p, static_cast<uLong>(end - p)) != Z_OK || got != rawSize) {
        *why = "a block does not inflate";
        return false;
    }
    Reader r{reinterpret_cast<const unsigned char*>(raw.data()), reinterpret_cast<const unsigned char*>(raw.data()) + raw.size()};
    std::uint64_t count = 0;
    *why = "a block is damaged";
    if (!r.number(&count, maxItems))
        return false;
    places.resize(static_cast<std::size_t>(count));
    placesFolded.resize(places.size());
    for (std::size_t i = 0; i < places.size(); ++i)
        if (!r.text(&places[i], &placesFolded[i]))
            return false;
    if (!r.number(&count, maxItems))
        return false;
    items.resize(static_cast<std::size_t>(count));
    std::int64_t lat = 0, lon = 0;
    for (Item& item : items) {
        std::uint64_t kind = 0, place = 0, names = 0;
        std::int64_t dlat = 0, dlon = 0;
        if (!r.number(&kind, 0xFFFFFFFFu) || !Varint::getSigned(&r.p, r.end, &dlat) ||
            !Varint::getSigned(&r.p, r.end, &dlon) || !r.number(&place, places.size()) || !r.number(&names, maxNames) ||
            names == 0)
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
        item.names.resize(static_cast<std::size_t>(names));
        item.folded.resize(item.names.size());
        for (std::size_t i = 0; i < item.names.size(); ++i)
            if (!r.text(&item.names[i], &item.folded[i]))
                return false;
    }
    if (r.p != r.end)
        return false;
    why->clear();
    return true;
}
