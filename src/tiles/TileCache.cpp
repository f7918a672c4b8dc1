#include "TileCache.h"

std::shared_ptr<TileImage> TileCache::get(const CellKey& key)
{
    const auto it = index.find(key);
    if (it == index.end())
        return nullptr;
    entries.splice(entries.begin(), entries, it->second);
    return it->second->image;
}

void TileCache::put(const CellKey& key, std::shared_ptr<TileImage> image)
{
    const auto it = index.find(key);
    if (it != index.end()) {
        used -= it->second->bytes;
        entries.erase(it->second);
        index.erase(it);
    }
    const std::size_t size = image ? image->bytes() : 0;
    entries.push_front(Entry{key, std::move(image), size});
    index[key] = entries.begin();
    used += size;
    evict();
}

void TileCache::setLimit(std::size_t bytes)
{
    limit = bytes;
    evict();
}

void TileCache::dropSubstitutes()
{
    for (auto it = entries.begin(); it != entries.end();) {
        if (it->image && it->image->substitute) {
            used -= it->bytes;
            index.erase(it->key);
            it = entries.erase(it);
        } else {
            ++it;
        }
    }
}

void TileCache::clear()
{
    entries.clear();
    index.clear();
    used = 0;
}

std::list<CellKey> TileCache::order() const
{
    std::list<CellKey> keys;
    for (const Entry& e : entries)
        keys.push_back(e.key);
    return keys;
}

void TileCache::evict()
{
    while (used > limit && entries.size() > 1) {
        used -= entries.back().bytes;
        index.erase(entries.back().key);
        entries.pop_back();
        ++evictions;
    }
}
