#ifndef TESSEL_GLYPHCACHE_H
#define TESSEL_GLYPHCACHE_H

#include <cairo.h>

#include <string>
#include <unordered_map>
#include <vector>

// Labels shaped once: the glyphs of a text in a font face and size, and
// their extents, kept for the next picture (the same street and place
// names come back tile after tile). One per thread: cairo's font objects
// may be shared, the cache is not.
class GlyphCache {
public:
    struct Shaped {
        std::vector<cairo_glyph_t> glyphs; // from the origin
        cairo_text_extents_t extents{};
    };
    // Entries past this many are forgotten all at once.
    static constexpr std::size_t maxEntries = 4096;

    // The text in DejaVu Sans of `size` (bold when asked), selected into
    // `cr` as its font too; null when cairo cannot shape it.
    const Shaped* shape(cairo_t* cr, const std::string& text, double size, bool bold);
    // The shaped text's path with its origin at (x, y).
    static void path(cairo_t* cr, const Shaped& shaped, double x, double y);

    static GlyphCache& forThisThread();

private:
    std::unordered_map<std::string, Shaped> entries;
};

#endif
