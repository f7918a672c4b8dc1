#include "TextCache.h"

#include <algorithm>

namespace {

// A few dozen texts are on screen at most (a menu page, the toolbar, the
// attribution): keep that many renderings and sizes, the most recent first.
const std::size_t textsKept = 48;

std::vector<TextCache*>& registry()
{
    static std::vector<TextCache*> caches;
    return caches;
}

Uint32 colourKey(SDL_Color color, bool blended)
{
    return static_cast<Uint32>(color.r) | static_cast<Uint32>(color.g) << 8 | static_cast<Uint32>(color.b) << 16 |
           (blended ? 1u << 24 : 0u);
}

// Moves the first entry that matches to the front; null when none does.
template <class Entry, class Match>
Entry* find(std::list<Entry>* entries, Match match)
{
    for (auto it = entries->begin(); it != entries->end(); ++it)
        if (match(*it)) {
            entries->splice(entries->begin(), *entries, it);
            return &entries->front();
        }
    return nullptr;
}

// The coverage of every pixel of a rendering, row by row.
void coverageOf(SDL_Surface* s, std::vector<Uint8>* out)
{
    out->resize(static_cast<std::size_t>(s->w) * static_cast<std::size_t>(s->h));
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            (*out)[static_cast<std::size_t>(y * s->w + x)] = TextCache::coverage(s, x, y);
    SDL_UnlockSurface(s);
}

} // namespace

TextCache::TextCache(TTF_Font* font, bool shared) : font(font), shared(shared)
{
    if (shared)
        registry().push_back(this);
}

TextCache::~TextCache()
{
    for (Rendering& r : renderings)
        SDL_FreeSurface(r.surface);
    if (shared) {
        std::vector<TextCache*>& caches = registry();
        caches.erase(std::remove(caches.begin(), caches.end(), this), caches.end());
    }
}

TextCache* TextCache::of(TTF_Font* font)
{
    for (TextCache* c : registry())
        if (c->font == font)
            return c;
    return nullptr;
}

SDL_Surface* TextCache::rendering(const std::string& text, SDL_Color color, bool blended)
{
    const Uint32 key = colourKey(color, blended);
    if (Rendering* r = find(&renderings, [&](const Rendering& e) { return e.colour == key && e.text == text; }))
        return r->surface;
    SDL_Surface* s = blended ? TTF_RenderUTF8_Blended(font, text.c_str(), color)
                             : TTF_RenderUTF8_Solid(font, text.c_str(), color);
    if (!s)
        return nullptr;
    renderings.push_front(Rendering{text, key, s});
    if (renderings.size() > textsKept) {
        SDL_FreeSurface(renderings.back().surface);
        renderings.pop_back();
    }
    return s;
}

void TextCache::size(const std::string& text, int* w, int* h)
{
    if (Size* s = find(&sizes, [&](const Size& e) { return e.text == text; })) {
        *w = s->w;
        *h = s->h;
        return;
    }
    *w = *h = 0;
    TTF_SizeUTF8(font, text.c_str(), w, h);
    sizes.push_front(Size{text, *w, *h});
    if (sizes.size() > textsKept)
        sizes.pop_back();
}

const TextCache::Glyph* TextCache::glyph(Uint16 ch, bool blended)
{
    const Uint32 key = ch | (blended ? 1u << 16 : 0u);
    const auto found = glyphs.find(key);
    if (found != glyphs.end())
        return found->second.height > 0 ? &found->second : nullptr;
    Glyph& g = glyphs[key]; // an entry of height 0 remembers a glyph that cannot be drawn
    int miny, maxy;
    const Uint16 alone[2] = {ch, 0};
    const SDL_Color white{255, 255, 255, 0};
    SDL_Surface* s = TTF_GlyphMetrics(font, ch, &g.minx, &g.maxx, &miny, &maxy, &g.advance) == 0
                         ? (blended ? TTF_RenderUNICODE_Blended(font, alone, white)
                                    : TTF_RenderUNICODE_Solid(font, alone, white))
                         : nullptr;
    if (!s)
        return nullptr;
    std::vector<Uint8> all;
    coverageOf(s, &all);
    // The box of the covered pixels.
    int left = s->w, right = 0, top = s->h, bottom = 0;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            if (all[static_cast<std::size_t>(y * s->w + x)]) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
    const int width = s->w;
    g.height = s->h;
    SDL_FreeSurface(s);
    if (right <= left)
        return &g;
    g.left = left;
    g.top = top;
    g.w = right - left;
    g.h = bottom - top;
    for (int y = top; y < bottom; ++y)
        g.coverage.insert(g.coverage.end(), all.begin() + y * width + left, all.begin() + y * width + right);
    return &g;
}

const TextCache::Line* TextCache::renderedLine(const std::string& text, bool blended)
{
    if (Line* l = find(&lines, [&](const Line& e) { return e.blended == blended && e.text == text; }))
        return l;
    SDL_Surface* s = rendering(text, SDL_Color{255, 255, 255, 0}, blended);
    if (!s)
        return nullptr;
    Line line{text, blended, s->w, s->h, {}};
    coverageOf(s, &line.coverage);
    lines.push_front(std::move(line));
    if (lines.size() > textsKept)
        lines.pop_back();
    return &lines.front();
}

Uint8 TextCache::coverage(SDL_Surface* s, int x, int y)
{
    if (x < 0 || y < 0 || x >= s->w || y >= s->h)
        return 0;
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    Uint32 pixel = 0;
    switch (s->format->BytesPerPixel) {
    case 1:
        pixel = *p;
        break;
    case 2:
        pixel = *reinterpret_cast<const Uint16*>(p);
        break;
    case 4:
        pixel = *reinterpret_cast<const Uint32*>(p);
        break;
    default:
        return 0;
    }
    if ((s->flags & SDL_SRCCOLORKEY) && pixel == s->format->colorkey)
        return 0;
    Uint8 r, g, b, a;
    SDL_GetRGBA(pixel, s->format, &r, &g, &b, &a);
    return a;
}
