#ifndef TESSEL_GLYPHCACHE_H
#define TESSEL_GLYPHCACHE_H

#include "FontChain.h"

#include <cairo.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// Labels shaped once: the outline of a text in a font face and size, and
// its extents, kept for the next picture (the same street and place names
// come back tile after tile). An outline is turned and moved as a path,
// so a label along a line at any angle costs no new font. One per thread:
// cairo's font objects may be shared, the cache is not.
class GlyphCache {
public:
    struct PathFree {
        void operator()(cairo_path_t* p) const { cairo_path_destroy(p); }
    };
    struct Shaped {
        std::unique_ptr<cairo_path_t, PathFree> outline; // the text's origin at (0, 0)
        cairo_text_extents_t extents{};
    };
    // Entries past this many are forgotten all at once.
    static constexpr std::size_t maxEntries = 1024;

    // The text in the fonts of FontChain at `size` (bold when asked); null
    // when cairo cannot shape it. Shaped on a context of its own: one that cairo put
    // in its error state is replaced, and no picture is drawn with it.
    const Shaped* shape(const std::string& text, double size, bool bold);

    static GlyphCache& forThisThread();

    GlyphCache() = default;
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;
    ~GlyphCache();

private:
    cairo_t* scratch();

    std::unordered_map<std::string, Shaped> entries;
    cairo_t* context = nullptr;
    std::vector<FontChain::Run> runs;
};

#endif
