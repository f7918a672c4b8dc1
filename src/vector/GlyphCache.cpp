#include "GlyphCache.h"

#include <cstring>

const GlyphCache::Shaped* GlyphCache::shape(cairo_t* cr, const std::string& text, double size, bool bold)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    std::string key(sizeof size + 1, '\0');
    std::memcpy(&key[0], &size, sizeof size);
    key[sizeof size] = bold ? 'b' : 'n';
    key += text;
    const auto found = entries.find(key);
    if (found != entries.end())
        return &found->second;
    cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(font, 0, 0, text.data(), static_cast<int>(text.size()), &glyphs, &count,
                                         nullptr, nullptr, nullptr) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    Shaped shaped;
    shaped.glyphs.assign(glyphs, glyphs + count);
    cairo_glyph_free(glyphs);
    cairo_scaled_font_glyph_extents(font, shaped.glyphs.data(), count, &shaped.extents);
    if (entries.size() >= maxEntries)
        entries.clear();
    return &entries.emplace(std::move(key), std::move(shaped)).first->second;
}

void GlyphCache::path(cairo_t* cr, const Shaped& shaped, double x, double y)
{
    std::vector<cairo_glyph_t> placed = shaped.glyphs;
    for (cairo_glyph_t& g : placed) {
        g.x += x;
        g.y += y;
    }
    cairo_glyph_path(cr, placed.data(), static_cast<int>(placed.size()));
}

GlyphCache& GlyphCache::forThisThread()
{
    thread_local GlyphCache cache;
    return cache;
}
