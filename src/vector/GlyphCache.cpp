#include "GlyphCache.h"

#include <cstring>

const GlyphCache::Shaped* GlyphCache::shape(cairo_t* cr, const std::string& text, double size, bool bold)
{
    std::string key(sizeof size + 1, '\0');
    std::memcpy(&key[0], &size, sizeof size);
    key[sizeof size] = bold ? 'b' : 'n';
    key += text;
    const auto found = entries.find(key);
    if (found != entries.end())
        return &found->second;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    Shaped shaped;
    cairo_text_extents(cr, text.c_str(), &shaped.extents);
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 0);
    cairo_text_path(cr, text.c_str());
    shaped.outline.reset(cairo_copy_path(cr));
    cairo_new_path(cr);
    cairo_restore(cr);
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS || shaped.outline->status != CAIRO_STATUS_SUCCESS)
        return nullptr;
    if (entries.size() >= maxEntries)
        entries.clear();
    return &entries.emplace(std::move(key), std::move(shaped)).first->second;
}

GlyphCache& GlyphCache::forThisThread()
{
    thread_local GlyphCache cache;
    return cache;
}
