#include "IndexWriter.h"

#include "Folding.h"
#include "HilbertOrder.h"
#include "BlockBuilder.h"
#include "IndexBlock.h"
#include "PostingList.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <sqlite3.h>
#include <unistd.h>
#include <vector>

const char* const IndexWriter::format = "tessel-search";

namespace {

const char separator = '\x1f';  // between names in the scratch file; cleaned names hold no control characters
const std::size_t maxNameBytes = 255;

bool exec(sqlite3* db, const char* sql, std::string* why)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *why = std::string("cannot write the index (") + (message ? message : "?") + ")";
    sqlite3_free(message);
    return false;
}

std::int32_t micro(double degrees)
{
    return static_cast<std::int32_t>(std::lround(degrees * 1e6));
}

std::string text(sqlite3_stmt* st, int column)
{
    const unsigned char* t = sqlite3_column_text(st, column);
    return t ? std::string(reinterpret_cast<const char*>(t), static_cast<std::size_t>(sqlite3_column_bytes(st, column)))
             : std::string();
}

std::vector<std::string> splitNames(const std::string& joined)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= joined.size(); ++i)
        if (i == joined.size() || joined[i] == separator) {
            out.push_back(joined.substr(start, i - start));
            start = i + 1;
        }
    return out;
}

// Names cleaned and cut, those that fold to the same words as an earlier one left out.
std::vector<std::string> distinctNames(const std::vector<std::string>& names)
{
    std::vector<std::string> out, seen;
    for (const std::string& n : names) {
        const std::string name = Folding::clean(n, maxNameBytes);
        const std::string words = IndexBlock::joinedWords(name);
        if (words.empty() || std::find(seen.begin(), seen.end(), words) != seen.end())
            continue;
        seen.push_back(words);
        out.push_back(name);
        if (out.size() == IndexBlock::maxNames)
            break;
    }
    return out;
}

void putInt32(std::string* out, std::int32_t v)
{
    const std::uint32_t u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

} // namespace

IndexWriter::IndexWriter(const std::string& out) : output(out) {}

IndexWriter::~IndexWriter()
{
    sqlite3_finalize(addEntry);
    sqlite3_finalize(addPiece);
    sqlite3_close(scratch);
    if (!scratchPath.empty())
        unlink(scratchPath.c_str());
}

bool IndexWriter::open(std::string* why)
{
    scratchPath = output + ".scratch-XXXXXX";
    const int fd = mkstemp(&scratchPath[0]);
    if (fd < 0) {
        scratchPath.clear();
        *why = output + ": no room for a scratch file beside it";
        return false;
    }
    close(fd);
    if (sqlite3_open_v2(scratchPath.c_str(), &scratch, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        *why = "cannot open a scratch file";
        return false;
    }
    return exec(scratch,
                "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-32768; PRAGMA temp_store=FILE;"
                "CREATE TABLE entries(key INTEGER, kind TEXT, place TEXT, lat INTEGER, lon INTEGER, names TEXT);"
                "CREATE TABLE streets(merge TEXT, kind TEXT, place TEXT, lat INTEGER, lon INTEGER, names TEXT);"
                "CREATE TABLE post(word TEXT, prefix INTEGER, inplace INTEGER, block INTEGER, bits INTEGER);"
                "BEGIN",
                why) &&
           sqlite3_prepare_v2(scratch, "INSERT INTO entries VALUES(?1, ?2, ?3, ?4, ?5, ?6)", -1, &addEntry, nullptr) ==
               SQLITE_OK &&
           sqlite3_prepare_v2(scratch, "INSERT INTO streets VALUES(?1, ?2, ?3, ?4, ?5, ?6)", -1, &addPiece, nullptr) ==
               SQLITE_OK;
}

bool IndexWriter::stage(sqlite3_stmt* st, const SearchEntry& entry, const std::string& merge)
{
    if (!(std::fabs(entry.lat) <= 90 && std::fabs(entry.lon) <= 180))
        return false;
    const std::vector<std::string> kept = distinctNames(entry.names);
    if (kept.empty())
        return false;
    std::string joined;
    for (const std::string& n : kept)
        joined += (joined.empty() ? "" : std::string(1, separator)) + n;
    const std::int32_t lat = micro(entry.lat), lon = micro(entry.lon);
    if (merge.empty())
        sqlite3_bind_int64(st, 1, static_cast<sqlite3_int64>(HilbertOrder::key(lat, lon)));
    else
        sqlite3_bind_text(st, 1, merge.c_str(), static_cast<int>(merge.size()), SQLITE_TRANSIENT);
    const std::string kind = Folding::clean(entry.kind, 40), place = Folding::clean(entry.place, maxNameBytes);
    sqlite3_bind_text(st, 2, kind.c_str(), static_cast<int>(kind.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, place.c_str(), static_cast<int>(place.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 4, lat);
    sqlite3_bind_int(st, 5, lon);
    sqlite3_bind_text(st, 6, joined.c_str(), static_cast<int>(joined.size()), SQLITE_TRANSIENT);
    const bool ok = sqlite3_step(st) == SQLITE_DONE;
    sqlite3_reset(st);
    if (!ok && failure.empty())
        failure = std::string("cannot write the scratch file (") + sqlite3_errmsg(scratch) + ")";
    return ok;
}

void IndexWriter::add(const SearchEntry& entry)
{
    stage(addEntry, entry, std::string());
}

void IndexWriter::addStreet(const SearchEntry& piece)
{
    if (piece.names.empty())
        return;
    stage(addPiece, piece, IndexBlock::joinedWords(piece.names.front()) + separator + Folding::fold(piece.place));
}

// Each street's pieces in a place become one entry at the piece nearest
// their mean, under all the names its pieces had.
bool IndexWriter::mergeStreets(std::string* why)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(scratch, "SELECT merge, kind, place, lat, lon, names FROM streets ORDER BY merge", -1, &st,
                           nullptr) != SQLITE_OK) {
        *why = "cannot read the scratch file";
        return false;
    }
    struct Piece {
        std::int32_t lat, lon;
    };
    std::string key, kind, place;
    std::vector<Piece> pieces;
    std::vector<std::string> allNames;
    auto flush = [&] {
        if (pieces.empty())
            return;
        double lat = 0, lon = 0;
        for (const Piece& p : pieces) {
            lat += p.lat;
            lon += p.lon;
        }
        lat /= static_cast<double>(pieces.size());
        lon /= static_cast<double>(pieces.size());
        const Piece* best = &pieces.front();
        for (const Piece& p : pieces)
            if (std::hypot(p.lat - lat, p.lon - lon) < std::hypot(best->lat - lat, best->lon - lon))
                best = &p;
        SearchEntry e;
        e.kind = kind;
        e.place = place;
        e.names = allNames;
        e.lat = best->lat / 1e6;
        e.lon = best->lon / 1e6;
        stage(addEntry, e, std::string());
        pieces.clear();
        allNames.clear();
    };
    int status;
    while ((status = sqlite3_step(st)) == SQLITE_ROW) {
        if (text(st, 0) != key) {
            flush();
            key = text(st, 0);
            kind = text(st, 1);
            place = text(st, 2);
        }
        // A street in a large city may have thousands of pieces; a few hundred place it well enough.
        if (pieces.size() < 4096)
            pieces.push_back({sqlite3_column_int(st, 3), sqlite3_column_int(st, 4)});
        for (const std::string& n : splitNames(text(st, 5)))
            if (allNames.size() < IndexBlock::maxNames && std::find(allNames.begin(), allNames.end(), n) == allNames.end())
                allNames.push_back(n);
    }
    flush();
    sqlite3_finalize(st);
    if (status != SQLITE_DONE) {
        *why = "cannot read the scratch file";
        return false;
    }
    return true;
}

std::uint32_t IndexWriter::kindId(const std::string& kind)
{
    const auto found = kinds.find(kind);
    if (found != kinds.end())
        return found->second;
    const std::uint32_t id = static_cast<std::uint32_t>(kinds.size());
    kinds[kind] = id;
    return id;
}

bool IndexWriter::writeBlocks(sqlite3* out, std::string* why,
                              const std::function<void(std::uint64_t, std::uint64_t)>& progress)
{
    sqlite3_stmt* read = nullptr;
    sqlite3_stmt* write = nullptr;
    sqlite3_stmt* post = nullptr;
    bool ok = sqlite3_prepare_v2(scratch, "SELECT kind, place, lat, lon, names FROM entries ORDER BY key", -1, &read,
                                 nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(out, "INSERT INTO blocks VALUES(?1, ?2)", -1, &write, nullptr) == SQLITE_OK &&
              sqlite3_prepare_v2(scratch, "INSERT INTO post VALUES(?1, ?2, ?3, ?4, ?5)", -1, &post, nullptr) == SQLITE_OK;
    BlockBuilder builder;
    std::string boxes;
    std::int32_t box[4] = {90000000, 180000000, -90000000, -180000000};
    auto postOne = [&](const std::string& w, int prefix, int inPlace, std::uint8_t bits) {
        sqlite3_bind_text(post, 1, w.c_str(), static_cast<int>(w.size()), SQLITE_STATIC);
        sqlite3_bind_int(post, 2, prefix);
        sqlite3_bind_int(post, 3, inPlace);
        sqlite3_bind_int64(post, 4, static_cast<sqlite3_int64>(blocks));
        sqlite3_bind_int(post, 5, bits);
        ok = ok && sqlite3_step(post) == SQLITE_DONE;
        sqlite3_reset(post);
    };
    auto flush = [&] {
        if (!ok || builder.size() == 0)
            return;
        const std::string bytes = builder.take();
        sqlite3_bind_int64(write, 1, static_cast<sqlite3_int64>(blocks));
        sqlite3_bind_blob(write, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
        ok = sqlite3_step(write) == SQLITE_DONE;
        sqlite3_reset(write);
        for (std::int32_t v : {builder.south, builder.west, builder.north, builder.east})
            putInt32(&boxes, v);
        box[0] = std::min(box[0], builder.south);
        box[1] = std::min(box[1], builder.west);
        box[2] = std::max(box[2], builder.north);
        box[3] = std::max(box[3], builder.east);
        for (int inPlace = 0; inPlace < 2; ++inPlace) {
            for (const auto& w : inPlace ? builder.placeWords : builder.nameWords)
                postOne(w.first, 0, inPlace, w.second);
            for (const std::string& w : inPlace ? builder.placePrefixes : builder.namePrefixes)
                postOne(w, 1, inPlace, PostingList::wholeBlock);
        }
        ++blocks;
    };
    std::uint64_t done = 0, total = 0;
    sqlite3_stmt* count = nullptr;
    if (sqlite3_prepare_v2(scratch, "SELECT count(*) FROM entries", -1, &count, nullptr) == SQLITE_OK &&
        sqlite3_step(count) == SQLITE_ROW)
        total = static_cast<std::uint64_t>(sqlite3_column_int64(count, 0));
    sqlite3_finalize(count);
    while (ok && sqlite3_step(read) == SQLITE_ROW) {
        const std::vector<std::string> entryNames = splitNames(text(read, 4));
        builder.add(kindId(text(read, 0)), sqlite3_column_int(read, 2), sqlite3_column_int(read, 3), text(read, 1),
                    entryNames);
        ++entries;
        names += entryNames.size();
        if (builder.size() == blockSize)
            flush();
        if (progress && (++done % 4096 == 0 || done == total))
            progress(done, total);
    }
    flush();
    sqlite3_finalize(read);
    sqlite3_finalize(write);
    sqlite3_finalize(post);
    if (!ok) {
        *why = std::string("cannot write the index (") + sqlite3_errmsg(out) + ")";
        return false;
    }
    sqlite3_stmt* meta = nullptr;
    sqlite3_prepare_v2(out, "INSERT INTO meta VALUES(?1, ?2)", -1, &meta, nullptr);
    auto put = [&](const char* key, const std::string& value, bool isBlob) {
        sqlite3_bind_text(meta, 1, key, -1, SQLITE_STATIC);
        if (isBlob)
            sqlite3_bind_blob(meta, 2, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
        else
            sqlite3_bind_text(meta, 2, value.c_str(), -1, SQLITE_STATIC);
        ok = ok && sqlite3_step(meta) == SQLITE_DONE;
        sqlite3_reset(meta);
    };
    put("format", format, false);
    put("version", std::to_string(formatVersion), false);
    put("entries", std::to_string(entries), false);
    put("names", std::to_string(names), false);
    put("blocks", std::to_string(blocks), false);
    put("boxes", boxes, true);
    std::string bounds;
    for (std::int32_t v : box)
        putInt32(&bounds, blocks ? v : 0);
    put("bounds", bounds, true);
    sqlite3_finalize(meta);
    sqlite3_stmt* kind = nullptr;
    sqlite3_prepare_v2(out, "INSERT INTO kinds VALUES(?1, ?2)", -1, &kind, nullptr);
    for (const auto& k : kinds) {
        sqlite3_bind_int64(kind, 1, k.second);
        sqlite3_bind_text(kind, 2, k.first.c_str(), -1, SQLITE_STATIC);
        ok = ok && sqlite3_step(kind) == SQLITE_DONE;
        sqlite3_reset(kind);
    }
    sqlite3_finalize(kind);
    if (!ok)
        *why = std::string("cannot write the index (") + sqlite3_errmsg(out) + ")";
    return ok;
}

bool IndexWriter::finish(std::string* why, const std::function<void(std::uint64_t, std::uint64_t)>& progress)
{
    if (!failure.empty()) {
        *why = failure;
        return false;
    }
    if (!mergeStreets(why))
        return false;
    sqlite3* out = nullptr;
    bool ok = sqlite3_open_v2(output.c_str(), &out, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK;
    ok = ok && exec(out,
                    // Small pages: a block's row wastes less of its last one.
                    "PRAGMA page_size=1024; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                    "CREATE TABLE meta(key TEXT PRIMARY KEY, value);"
                    "CREATE TABLE kinds(id INTEGER PRIMARY KEY, name TEXT);"
                    "CREATE TABLE blocks(id INTEGER PRIMARY KEY, data BLOB);"
                    "CREATE TABLE words(word TEXT PRIMARY KEY, names BLOB, places BLOB) WITHOUT ROWID;"
                    "CREATE TABLE prefixes(prefix TEXT PRIMARY KEY, names BLOB, places BLOB) WITHOUT ROWID;"
                    "BEGIN",
                    why);
    ok = ok && writeBlocks(out, why, progress) && PostingList::writeAll(scratch, out, why) && exec(out, "COMMIT", why);
    if (!ok && why->empty())
        *why = output + ": cannot be written";
    if (!failure.empty() && ok) {
        *why = failure;
        ok = false;
    }
    sqlite3_close(out);
    return ok;
}
