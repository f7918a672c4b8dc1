#ifndef TESSEL_FONTCHAIN_H
#define TESSEL_FONTCHAIN_H

#include <cairo.h>

#include <string>
#include <unordered_map>
#include <vector>

struct _FcCharSet;
struct _FcFontSet;
struct _FcPattern;

// The fonts labels are drawn in: DejaVu Sans first, then, for a character
// it lacks, the first of the fonts fontconfig sorts after it that has the
// character (Thai, Arabic, CJK from whatever Debian's fonts are installed).
// A label is cut into runs, each in one font. One per thread, like the
// glyph cache that asks it.
class FontChain {
public:
    // One piece of a label in one font: bytes [begin, end) of the text.
    struct Run {
        int font = 0; // 0: the main font
        std::size_t begin = 0, end = 0;
    };

    FontChain();
    ~FontChain();
    FontChain(const FontChain&) = delete;
    FontChain& operator=(const FontChain&) = delete;

    // The text (UTF-8, already checked) cut into runs of one font; false
    // when some character is in no font at all (it is then in the main
    // font's run, drawn as its box).
    bool runs(const std::string& text, std::vector<Run>* out);
    // Whether every character of the text is in some font; text that is
    // not UTF-8 is not.
    bool covers(const std::string& text);
    // The face of a run's font; owned by the chain.
    cairo_font_face_t* face(int font, bool bold);

    static FontChain& forThisThread();

private:
    // The font of a character: 0 the main, k the k-th fallback, -1 none.
    int fontOf(char32_t c);

    _FcCharSet* mainChars = nullptr; // owned by `mainMatch`
    _FcPattern* mainMatch = nullptr;
    _FcFontSet* sorted = nullptr;    // the fallbacks, best first
    std::vector<int> used;           // indexes into `sorted`: fallback k is used[k - 1]
    std::unordered_map<char32_t, int> known;
    std::unordered_map<int, cairo_font_face_t*> faces; // font * 2 + bold
};

#endif
