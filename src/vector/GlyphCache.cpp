#include "GlyphCache.h"

#include "FontChain.h"

#include <algorithm>
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
    FontChain& fonts = FontChain::forThisThread();
    fonts.runs(text, &runs);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_move_to(cr, 0, 0);
    Shaped shaped;
    // The ink of the runs together, each run's origin where the last ended.
    double advance = 0, left = 0, top = 0, right = 0, bottom = 0;
    bool inked = false;
    for (const FontChain::Run& run : runs) {
        const std::string piece = text.substr(run.begin, run.end - run.begin);
        cairo_set_font_face(cr, fonts.face(run.font, bold));
        cairo_set_font_size(cr, size);
        cairo_text_extents_t e;
        cairo_text_extents(cr, piece.c_str(), &e);
        if (e.width > 0 && e.height > 0) {
            const double l = advance + e.x_bearing, t = e.y_bearing;
            left = inked ? std::min(left, l) : l;
            top = inked ? std::min(top, t) : t;
            right = inked ? std::max(right, l + e.width) : l + e.width;
            bottom = inked ? std::max(bottom, t + e.height) : t + e.height;
            inked = true;
        }
        cairo_text_path(cr, piece.c_str());
        advance += e.x_advance;
    }
    shaped.extents = {left, top, right - left, bottom - top, advance, 0};
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
