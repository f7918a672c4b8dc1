#include "FontChain.h"

#include "Utf8.h"

#include <fontconfig/fontconfig.h>

namespace {

const char* const mainFamily = "DejaVu Sans";

// Characters past this many are looked up again rather than remembered:
// a hostile tile names every character there is.
const std::size_t knownKept = 4096;

FcCharSet* charsOf(FcPattern* font)
{
    FcCharSet* chars = nullptr;
    return FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) == FcResultMatch ? chars : nullptr;
}

} // namespace

FontChain::FontChain()
{
    FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(mainFamily));
    if (!wanted)
        return;
    FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
    FcDefaultSubstitute(wanted);
    FcResult result = FcResultMatch;
    mainMatch = FcFontMatch(nullptr, wanted, &result);
    mainChars = mainMatch ? charsOf(mainMatch) : nullptr;
    // Trimmed: a font that adds no character to those before it is left out.
    sorted = FcFontSort(nullptr, wanted, FcTrue, nullptr, &result);
    FcPatternDestroy(wanted);
}

FontChain::~FontChain()
{
    for (auto& entry : faces)
        cairo_font_face_destroy(entry.second);
    if (sorted)
        FcFontSetDestroy(sorted);
    if (mainMatch)
        FcPatternDestroy(mainMatch);
}

int FontChain::fontOf(char32_t c)
{
    if (c < 0x20 || (mainChars && FcCharSetHasChar(mainChars, c)))
        return 0;
    const auto found = known.find(c);
    if (found != known.end())
        return found->second;
    int font = -1;
    for (std::size_t k = 0; k < used.size() && font < 0; ++k) {
        const FcCharSet* chars = charsOf(sorted->fonts[used[k]]);
        if (chars && FcCharSetHasChar(chars, c))
            font = static_cast<int>(k) + 1;
    }
    for (int i = 0; font < 0 && sorted && i < sorted->nfont; ++i) {
        FcCharSet* chars = charsOf(sorted->fonts[i]);
        if (chars && FcCharSetHasChar(chars, c)) {
            used.push_back(i);
            font = static_cast<int>(used.size());
        }
    }
    if (known.size() >= knownKept)
        known.clear();
    known.emplace(c, font);
    return font;
}

bool FontChain::runs(const std::string& text, std::vector<Run>* out)
{
    out->clear();
    bool all = true;
    std::size_t i = 0;
    char32_t c = 0;
    while (i < text.size()) {
        const std::size_t begin = i;
        if (!Utf8::next(text, &i, &c))
            return false;
        int font = fontOf(c);
        all = all && font >= 0;
        // A space or digit the run's font also has stays in that run.
        if (!out->empty()) {
            const int current = out->back().font;
            const FcCharSet* chars = current == 0 ? mainChars : charsOf(sorted->fonts[used[current - 1]]);
            if (font < 0 || font == current || c < 0x20 || (chars && FcCharSetHasChar(chars, c))) {
                out->back().end = i;
                continue;
            }
        }
        out->push_back({font < 0 ? 0 : font, begin, i});
    }
    return all;
}

bool FontChain::covers(const std::string& text)
{
    std::size_t i = 0;
    char32_t c = 0;
    while (i < text.size())
        if (!Utf8::next(text, &i, &c) || fontOf(c) < 0)
            return false;
    return true;
}

cairo_font_face_t* FontChain::face(int font, bool bold)
{
    const int key = font * 2 + (bold ? 1 : 0);
    const auto found = faces.find(key);
    if (found != faces.end())
        return found->second;
    FcChar8* family = nullptr;
    if (font > 0)
        FcPatternGetString(sorted->fonts[used[static_cast<std::size_t>(font) - 1]], FC_FAMILY, 0, &family);
    const char* name = family ? reinterpret_cast<const char*>(family) : mainFamily;
    cairo_font_face_t* made = cairo_toy_font_face_create(name, CAIRO_FONT_SLANT_NORMAL,
                                                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    faces.emplace(key, made);
    return made;
}

FontChain& FontChain::forThisThread()
{
    thread_local FontChain chain;
    return chain;
}
