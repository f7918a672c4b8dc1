#include "GlyphCache.h"

#include <cstring>

GlyphCache::~GlyphCache()
{
    if (context)
        cairo_destroy(context);
}

cairo_t* GlyphCache::scratch()
{
    if (context && cairo_status(context) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(context);
        context = nullptr;
    }
    if (!context) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB16_565, 1, 1);
        context = cairo_create(surface);
        cairo_surface_destroy(surface);
    }
    return context;
}

const GlyphCache::Shaped* GlyphCache::shape(const std::string& text, double size, bool bold)
{
    std::string key(sizeof size + 1, '\0');
    std::memcpy(&key[0], &size, sizeof size);
    key[sizeof size] = bold ? 'b' : 'n';
    key += text;
    const auto found = entries.find(key);
    if (found != entries.end())
        return &found->second;
    cairo_t* cr = scratch();
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
