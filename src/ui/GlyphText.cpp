#include "GlyphText.h"

#include "TextCache.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

enum class Next { character, end, unsupported };

// The next character of UTF-8 `s` from *i, or what the glyph path leaves to
// the font: bytes that are not UTF-8, characters beyond 16 bits (SDL_ttf
// draws UCS-2), a NUL (where the font's rendering stops).
Next nextCharacter(const std::string& s, std::size_t* i, Uint16* ch)
{
    if (*i >= s.size())
        return Next::end;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(*i);
    const int extra = c < 0x80 ? 0 : (c & 0xe0) == 0xc0 ? 1 : (c & 0xf0) == 0xe0 ? 2 : -1;
    if (c == 0 || extra < 0 || *i + static_cast<std::size_t>(extra) >= s.size())
        return Next::unsupported;
    Uint32 value = extra == 0 ? c : extra == 1 ? (c & 0x1f) : (c & 0x0f);
    for (int k = 1; k <= extra; ++k) {
        if ((byte(*i + k) & 0xc0) != 0x80)
            return Next::unsupported;
        value = value << 6 | (byte(*i + k) & 0x3f);
    }
    *i += static_cast<std::size_t>(extra) + 1;
    *ch = static_cast<Uint16>(value);
    return Next::character;
}

// A colour spread for 565 blending: green in the high half, red and blue
// in the low one, with room for the products.
Uint32 spread565(SDL_Color c)
{
    const Uint32 p = static_cast<Uint32>((c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3);
    return (p | p << 16) & 0x07e0f81fu;
}

inline Uint8 mix8(Uint8 d, Uint8 s, unsigned a)
{
    return static_cast<Uint8>((d * (255 - a) + s * a + 127) / 255);
}

bool is565(const SDL_PixelFormat* f)
{
    return f->BytesPerPixel == 2 && f->Rmask == 0xf800 && f->Gmask == 0x07e0 && f->Bmask == 0x001f;
}

// For every pair of ink coverage and outline coverage, in 32 levels each:
// the colour that blends both onto a pixel in one step, spread, with its
// opacity (0..32) in the free bits 5 to 10.
std::vector<Uint32> blendTable(SDL_Color ink, SDL_Color outline)
{
    std::vector<Uint32> table(32 * 32);
    for (int ti = 0; ti < 32; ++ti)
        for (int oi = 0; oi < 32; ++oi) {
            const double t = ti / 31.0, o = oi / 31.0, a = 1 - (1 - t) * (1 - o);
            const auto channel = [&](Uint8 i, Uint8 h) {
                return static_cast<Uint8>(a > 0 ? (i * t + h * o * (1 - t)) / a + 0.5 : 0);
            };
            const Uint32 colour = spread565(SDL_Color{channel(ink.r, outline.r), channel(ink.g, outline.g),
                                                      channel(ink.b, outline.b), 0});
            table[static_cast<std::size_t>(ti * 32 + oi)] = colour | static_cast<Uint32>(a * 32 + 0.5) << 5;
        }
    return table;
}

// One row: the outline over the pixels in `t`'s coverage or next to it
// (`o`: the largest coverage of the four neighbours), the ink over that.
void blendRow565(Uint16* q, const Uint8* t, const Uint8* o, int w, const Uint32* table)
{
    for (int x = 0; x < w; ++x) {
        // Most of a line's box is empty: skip it eight pixels at a time.
        Uint64 t8, o8;
        if (x + 8 <= w) {
            std::memcpy(&t8, t + x, 8);
            std::memcpy(&o8, o + x, 8);
            if ((t8 | o8) == 0) {
                x += 7;
                continue;
            }
        }
        const Uint32 e = table[(t[x] >> 3) << 5 | o[x] >> 3];
        const Uint32 a = (e >> 5) & 63, c = e & 0x07e0f81fu;
        if (a == 0)
            continue;
        if (a == 32) {
            q[x] = static_cast<Uint16>(c | c >> 16);
            continue;
        }
        Uint32 d = (q[x] | static_cast<Uint32>(q[x]) << 16) & 0x07e0f81fu;
        d = (d + (((c - d) * a) >> 5)) & 0x07e0f81fu;
        q[x] = static_cast<Uint16>(d | d >> 16);
    }
}

void blendRowAny(SDL_Surface* target, Uint8* p, const Uint8* t, const Uint8* o, int w, SDL_Color ink,
                 SDL_Color outline)
{
    const int bpp = target->format->BytesPerPixel;
    for (int x = 0; x < w; ++x, p += bpp) {
        if ((t[x] | o[x]) == 0)
            continue;
        Uint32 pixel = 0;
        std::memcpy(&pixel, p, static_cast<std::size_t>(bpp));
        Uint8 r, g, b;
        SDL_GetRGB(pixel, target->format, &r, &g, &b);
        r = mix8(mix8(r, outline.r, o[x]), ink.r, t[x]);
        g = mix8(mix8(g, outline.g, o[x]), ink.g, t[x]);
        b = mix8(mix8(b, outline.b, o[x]), ink.b, t[x]);
        pixel = SDL_MapRGB(target->format, r, g, b);
        std::memcpy(p, &pixel, static_cast<std::size_t>(bpp));
    }
}

// The coverage `c` (row length `stride`, a readable pixel around `at`)
// blended onto target's rectangle `at`, with the outline when given.
void blend(SDL_Surface* target, const SDL_Rect& at, const Uint8* c, int stride, TextCache* cache, SDL_Color ink,
           const SDL_Color* outline)
{
    const bool fast = is565(target->format);
    const SDL_Color rim = outline ? *outline : ink;
    const Uint64 colours = static_cast<Uint64>(spread565(ink)) << 32 | spread565(rim);
    std::vector<Uint32>& table = cache->blendTables[colours];
    if (fast && table.empty())
        table = blendTable(ink, rim);
    cache->row.assign(at.w, 0);
    Uint8* o = cache->row.data();
    for (int y = 0; y < at.h; ++y) {
        const Uint8* t = c + y * stride;
        for (int x = 0; outline && x < at.w; ++x)
            o[x] = std::max(std::max(t[x - 1], t[x + 1]), std::max(t[x - stride], t[x + stride]));
        Uint8* p = static_cast<Uint8*>(target->pixels) + (at.y + y) * target->pitch +
                   at.x * target->format->BytesPerPixel;
        if (fast)
            blendRow565(reinterpret_cast<Uint16*>(p), t, o, at.w, table.data());
        else
            blendRowAny(target, p, t, o, at.w, ink, rim);
    }
}

// The line's coverage into cache->scratch with `margin` around it: from the
// glyphs, else from the font's rendering.
bool compose(TextCache* cache, const std::string& text, bool blended, int margin, int* w, int* h)
{
    if (GlyphText::composeFromGlyphs(cache, text, blended, margin, w, h))
        return true;
    const TextCache::Line* line = cache->renderedLine(text, blended);
    if (!line)
        return false;
    *w = line->w;
    *h = line->h;
    const int stride = *w + 2 * margin;
    cache->scratch.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(*h + 2 * margin), 0);
    for (int y = 0; y < *h; ++y)
        std::memcpy(cache->scratch.data() + (margin + y) * stride + margin, line->coverage.data() + y * *w,
                    static_cast<std::size_t>(*w));
    return true;
}

} // namespace

bool GlyphText::composeFromGlyphs(TextCache* cache, const std::string& text, bool blended, int margin, int* w,
                                     int* h)
{
    // The glyphs and the line's extent, reckoned as the font reckons it.
    cache->run.clear();
    int pen = 0, left = 0, right = 0;
    Uint16 ch = 0;
    std::size_t i = 0;
    for (Next n; (n = nextCharacter(text, &i, &ch)) != Next::end;) {
        const TextCache::Glyph* g = n == Next::character ? cache->glyph(ch, blended) : nullptr;
        if (!g)
            return false;
        cache->run.push_back(g);
        left = std::min(left, pen + g->minx);
        right = std::max(right, pen + std::max(g->advance, g->maxx));
        pen += g->advance;
    }
    int measuredW, measuredH;
    cache->size(text, &measuredW, &measuredH);
    if (cache->run.empty() || measuredW != right - left || measuredH != cache->run.front()->height ||
        left != std::min(cache->run.front()->minx, 0))
        return false;

    *w = right - left;
    *h = measuredH;
    const int stride = *w + 2 * margin;
    cache->scratch.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(*h + 2 * margin), 0);
    pen = -left;
    for (const TextCache::Glyph* g : cache->run) {
        const int x0 = margin + pen + std::min(g->minx, 0) + g->left;
        const int from = std::max(0, -x0), to = std::min(g->w, stride - x0);
        for (int y = 0; y < g->h; ++y) {
            const Uint8* in = g->coverage.data() + y * g->w;
            Uint8* out = cache->scratch.data() + (margin + g->top + y) * stride + x0;
            // Where glyphs overlap, SDL_ttf's coverage is the bitwise or.
            for (int x = from; x < to; ++x)
                out[x] |= in[x];
        }
        pen += g->advance;
    }
    return true;
}

void GlyphText::draw(SDL_Surface* target, TextCache* cache, const std::string& text, SDL_Color ink,
                     const SDL_Color* outline, bool blended, const SDL_Rect& source, const SDL_Rect& box)
{
    // Two empty pixels around the line: the outline's one, and one so that
    // every pixel drawn has four neighbours in the buffer.
    const int margin = 2;
    int w = 0, h = 0;
    if (!compose(cache, text, blended, margin, &w, &h))
        return;
    const int stride = w + 2 * margin;

    // The part drawn: the source part and its outline, `rim` pixels around,
    // within the line's buffer, the target and its clip rectangle. (u, v)
    // is the line's pixel drawn at (x, y).
    const int rim = outline ? 1 : 0;
    const SDL_Rect& clip = target->clip_rect;
    int u0 = source.x - rim, v0 = source.y - rim;
    int x0 = box.x - rim, y0 = box.y - rim;
    const int x1 = std::min({x0 + source.w + 2 * rim, x0 + (w + rim - u0), clip.x + clip.w, target->w});
    const int y1 = std::min({y0 + source.h + 2 * rim, y0 + (h + rim - v0), clip.y + clip.h, target->h});
    const int skipX = std::max({0, clip.x - x0, -rim - u0}), skipY = std::max({0, clip.y - y0, -rim - v0});
    x0 += skipX;
    y0 += skipY;
    u0 += skipX;
    v0 += skipY;
    if (x1 <= x0 || y1 <= y0)
        return;
    const SDL_Rect at{static_cast<Sint16>(x0), static_cast<Sint16>(y0), static_cast<Uint16>(x1 - x0),
                      static_cast<Uint16>(y1 - y0)};
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) < 0)
        return;
    blend(target, at, cache->scratch.data() + (v0 + margin) * stride + u0 + margin, stride, cache, ink, outline);
    if (SDL_MUSTLOCK(target))
        SDL_UnlockSurface(target);
}
