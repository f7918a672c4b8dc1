#include "PostingList.h"

#include "Varint.h"

#include <sqlite3.h>

namespace {

std::string text(sqlite3_stmt* st, int column)
{
    const unsigned char* t = sqlite3_column_text(st, column);
    return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(st, column)))
             : std::string();
}

} // namespace

std::string PostingList::encode(const std::vector<std::uint32_t>& ids, const std::vector<std::uint8_t>* bits)
{
    std::string out;
    std::uint32_t last = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        Varint::put(&out, i == 0 ? ids[i] : ids[i] - last);
        last = ids[i];
        if (bits)
            out.push_back(static_cast<char>((*bits)[i]));
    }
    return out;
}

bool PostingList::addTo(const void* data, std::size_t size, bool withBits, std::size_t blockCount, std::uint8_t* into)
{
    const auto* p = static_cast<const unsigned char*>(data);
    const unsigned char* end = p + (data ? size : 0);
    std::uint64_t id = 0, step = 0;
    for (bool first = true; p < end; first = false) {
        if (!Varint::get(&p, end, &step) || (!first && step == 0))
            return false;
        id += step;
        if (id >= blockCount)
            return false;
        std::uint8_t bits = wholeBlock;
        if (withBits) {
            if (p == end || *p == 0)
                return false;
            bits = *p++;
        }
        into[id] |= bits;
    }
    return true;
}

// Each word's (and short prefix's) blocks: those whose names hold it, then
// those whose places do (PostingList).
bool PostingList::writeAll(sqlite3* scratch, sqlite3* out, std::string* why)
{
    for (int prefix = 0; prefix < 2; ++prefix) {
        sqlite3_stmt* read = nullptr;
        sqlite3_stmt* write = nullptr;
        bool ok = sqlite3_prepare_v2(scratch, "SELECT word, inplace, block, bits FROM post WHERE prefix = ?1 "
                                              "ORDER BY word, inplace, block", -1, &read, nullptr) == SQLITE_OK &&
                  sqlite3_prepare_v2(out, prefix ? "INSERT INTO prefixes VALUES(?1, ?2, ?3)"
                                                 : "INSERT INTO words VALUES(?1, ?2, ?3)", -1, &write, nullptr) == SQLITE_OK;
        sqlite3_bind_int(read, 1, prefix);
        std::string word;
        std::vector<std::uint32_t> lists[2];
        std::vector<std::uint8_t> bits[2];
        auto flush = [&] {
            if (word.empty() || !ok)
                return;
            const std::string a = encode(lists[0], prefix ? nullptr : &bits[0]),
                              b = encode(lists[1], prefix ? nullptr : &bits[1]);
            sqlite3_bind_text(write, 1, word.c_str(), static_cast<int>(word.size()), SQLITE_STATIC);
            sqlite3_bind_blob(write, 2, a.data(), static_cast<int>(a.size()), SQLITE_STATIC);
            sqlite3_bind_blob(write, 3, b.data(), static_cast<int>(b.size()), SQLITE_STATIC);
            ok = sqlite3_step(write) == SQLITE_DONE;
            sqlite3_reset(write);
            for (int i = 0; i < 2; ++i) {
                lists[i].clear();
                bits[i].clear();
            }
        };
        while (ok && sqlite3_step(read) == SQLITE_ROW) {
            const std::string w = text(read, 0);
            if (w != word) {
                flush();
                word = w;
            }
            const int inPlace = sqlite3_column_int(read, 1) ? 1 : 0;
            lists[inPlace].push_back(static_cast<std::uint32_t>(sqlite3_column_int64(read, 2)));
            bits[inPlace].push_back(static_cast<std::uint8_t>(sqlite3_column_int(read, 3)));
        }
        flush();
        sqlite3_finalize(read);
        sqlite3_finalize(write);
        if (!ok) {
            *why = std::string("cannot write the index (") + sqlite3_errmsg(out) + ")";
            return false;
        }
    }
    return true;
}
