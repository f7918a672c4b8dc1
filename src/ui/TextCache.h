#ifndef TESSEL_TEXTCACHE_H
#define TESSEL_TEXTCACHE_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <list>
#include <map>
#include <string>
#include <vector>

// What is kept for one open font: the renderings and sizes of the texts
// drawn lately and the coverage of single glyphs, from which texts that
// change every frame (coordinates) are composed without asking the font.
// A cache made for a font registers itself, so that drawing finds it with
// of(); whoever opens the font owns its cache and destroys it before
// closing the font, so a font opened later at the same address never finds
// another font's texts.
class TextCache {
public:
    // A glyph's coverage (0..255) as the font renders it alone, cut to the
    // pixels it covers (`w` x `h` from column `left` and row `top` of that
    // rendering), with the font's metrics: in a line the rendering's first
    // column lies min(minx, 0) columns from the pen position.
    struct Glyph {
        int minx = 0;
        int maxx = 0;
        int advance = 0;
        int height = 0; // the rendering's, the font's line height
        int left = 0;
        int top = 0;
        int w = 0;
        int h = 0;
        std::vector<Uint8> coverage;
    };

    // `shared`: registered, found by of() until destroyed.
    explicit TextCache(TTF_Font* font, bool shared = true);
    ~TextCache();
    TextCache(const TextCache&) = delete;
    TextCache& operator=(const TextCache&) = delete;

    // The registered cache of `font`; null when it has none.
    static TextCache* of(TTF_Font* font);

    // The rendering of `text`, kept by the cache; null when it cannot be rendered.
    SDL_Surface* rendering(const std::string& text, SDL_Color color, bool blended);
    void size(const std::string& text, int* w, int* h);
    // The glyph of the UCS-2 character `ch`; null when it cannot be rendered.
    // (A glyph that covers nothing, a space, has w = h = 0.)
    const Glyph* glyph(Uint16 ch, bool blended);
    // The coverage (0..255) of a rendering's pixel; 0 outside it.
    static Uint8 coverage(SDL_Surface* s, int x, int y);

    // The coverage of a whole line of text, `w` x `h`, composed once from
    // the font's rendering (for texts the glyphs cannot compose: kerning).
    struct Line {
        std::string text;
        bool blended;
        int w, h;
        std::vector<Uint8> coverage;
    };
    // The line of `text` as the font renders it, kept; null when it cannot be rendered.
    const Line* renderedLine(const std::string& text, bool blended);

    TTF_Font* const font;
    // Reused by compositions, so that a frame allocates nothing.
    std::vector<Uint8> scratch;
    std::vector<const Glyph*> run;
    std::vector<Uint8> row;
    // GlyphText's blending, one table per pair of colours (spread).
    std::map<Uint64, std::vector<Uint32>> blendTables;

private:
    struct Rendering {
        std::string text;
        Uint32 colour; // with the blended flag in the top byte
        SDL_Surface* surface;
    };
    struct Size {
        std::string text;
        int w, h;
    };

    const bool shared;
    std::list<Rendering> renderings;
    std::list<Size> sizes;
    std::list<Line> lines;
    std::map<Uint32, Glyph> glyphs; // by character, with the blended flag in bit 16
};

#endif
