#ifndef TESSEL_TILECACHE_H
#define TESSEL_TILECACHE_H

#include "TileImage.h"
#include "TileRequest.h"

#include <cstddef>
#include <list>
#include <memory>
#include <unordered_map>

// Finished cell pictures, least recently used first out, bounded in bytes.
// Cells on screen hold their pictures by shared pointer, so evicting one
// never pulls it from under the grid.
class TileCache {
public:
    static constexpr std::size_t defaultLimit = 8u << 20;

    explicit TileCache(std::size_t limitBytes = defaultLimit) : limit(limitBytes) {}

    // The picture of `key`, marked as just used; null when not cached.
    std::shared_ptr<TileImage> get(const CellKey& key);
    // Looks without touching the order.
    bool contains(const CellKey& key) const { return index.count(key) != 0; }
    // Stores (or replaces) the picture of `key`, then evicts the least
    // recently used until the total fits the limit; the newest always stays.
    void put(const CellKey& key, std::shared_ptr<TileImage> image);
    void setLimit(std::size_t bytes);
    // Forgets the pictures that stand in for missing tiles.
    void dropSubstitutes();
    void clear();

    std::size_t size() const { return entries.size(); }
    std::size_t bytes() const { return used; }
    // Keys from most to least recently used.
    std::list<CellKey> order() const;

    unsigned long evictions = 0;

private:
    struct Entry {
        CellKey key;
        std::shared_ptr<TileImage> image;
        std::size_t bytes;
    };
    void evict();

    std::size_t limit;
    std::size_t used = 0;
    std::list<Entry> entries; // most recently used first
    std::unordered_map<CellKey, std::list<Entry>::iterator, CellKeyHash> index;
};

#endif
