// Text composed from kept glyphs against the font's own rendering of the
// line, the cache's lifetime, and the copies the frame is made of.
#include "Effects.h"
#include "Fonts.h"
#include "GlyphText.h"
#include "SurfaceCopy.h"
#include "TestSupport.h"
#include "TextCache.h"
#include "TextWrap.h"

#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <cstring>
#include <random>

namespace {

SDL_Surface* surface565(int w, int h)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xf800, 0x07e0, 0x001f, 0);
}

Uint16 pixelAt(SDL_Surface* s, int x, int y)
{
    return static_cast<Uint16*>(s->pixels)[y * s->pitch / 2 + x];
}

} // namespace

TEST(GlyphText, ComposesTheLinesTheFontRenders)
{
    // The coordinates are composed from glyphs every frame: the result must
    // be the font's rendering, pixel for pixel, in both font sizes and modes.
    for (TTF_Font* font : {testFonts().small, testFonts().text})
        for (bool blended : {true, false}) {
            TextCache cache(font, false);
            for (const char* text : {"50.08712° N, 14.42081° E", "3.60000° S, 120.00000° W", "200 km", "1 m",
                                     "NASA Visible Earth", "° ,.-0123456789 NSEW"}) {
                int w, h;
                ASSERT_TRUE(GlyphText::composeFromGlyphs(&cache, text, blended, 0, &w, &h)) << text;
                const TextCache::Line* line = cache.renderedLine(text, blended);
                ASSERT_NE(line, nullptr);
                ASSERT_EQ(w, line->w) << text;
                ASSERT_EQ(h, line->h) << text;
                EXPECT_EQ(std::vector<Uint8>(cache.scratch.begin(), cache.scratch.begin() + w * h), line->coverage)
                    << text << (blended ? " blended" : " solid");
            }
            int w, h;
            EXPECT_FALSE(GlyphText::composeFromGlyphs(&cache, "bad \xff byte", blended, 0, &w, &h));
        }
}

TEST(GlyphText, DrawsOnlyInsideTheClipRectangle)
{
    SDL_Surface* screen = testScreen();
    for (bool outlined : {true, false}) {
        fill(screen, 0, 0, 0);
        SDL_Rect source;
        SDL_Rect box{40, 100, 240, 25};
        Effects::alignText(Effects::alignLeft | Effects::alignTop, testFonts().heading, "Options", &source, &box);
        SDL_Rect clip{0, 0, static_cast<Uint16>(box.x + 20), 240};
        SDL_SetClipRect(screen, &clip);
        if (outlined)
            Effects::blitOutlinedText(screen, testFonts().heading, "Options", SDL_Color{255, 255, 255, 0},
                                      SDL_Color{0, 0, 255, 0}, true, source, box);
        else
            Effects::blitChangingText(screen, testFonts().heading, "Options", SDL_Color{255, 255, 255, 0}, true,
                                      source, box);
        SDL_SetClipRect(screen, nullptr);
        EXPECT_GT(pixelsDifferentFrom(screen, clip, 0, 0, 0), 20);
        EXPECT_EQ(pixelsDifferentFrom(screen, SDL_Rect{static_cast<Sint16>(clip.w), 0, static_cast<Uint16>(320 - clip.w), 240}, 0, 0, 0),
                  0);
    }
}

TEST(TextCache, ClosingTheFontsReleasesTheirTexts)
{
    Fonts fonts;
    ASSERT_TRUE(fonts.open(TESSEL_TEST_FONT));
    TTF_Font* small = fonts.small;
    ASSERT_NE(TextCache::of(small), nullptr);
    int w, h;
    Effects::measureText(small, "kept", &w, &h);
    EXPECT_GT(w, 0);
    fonts.close();
    EXPECT_EQ(TextCache::of(small), nullptr);
    EXPECT_NE(TextCache::of(testFonts().small), nullptr);
}

TEST(Plate, LightensOnlyItsAreaWithinTheClip)
{
    SDL_Surface* s = surface565(40, 20);
    SDL_FillRect(s, nullptr, 0);
    SDL_Rect clip{0, 0, 30, 20};
    SDL_SetClipRect(s, &clip);
    Effects::plate(s, SDL_Rect{10, 5, 30, 10});
    EXPECT_EQ(pixelAt(s, 9, 5), 0);
    EXPECT_EQ(pixelAt(s, 10, 4), 0);
    EXPECT_EQ(pixelAt(s, 30, 5), 0);  // outside the clip
    EXPECT_EQ(pixelAt(s, 10, 5), (19 << 11) | (39 << 5) | 19); // black five eighths to white
    EXPECT_EQ(pixelAt(s, 29, 14), pixelAt(s, 10, 5));
    SDL_FreeSurface(s);
}

TEST(SurfaceCopy, CopiesAsSdlBlits)
{
    // The optimised copy against SDL's blit: random parts, places and clips.
    SDL_Surface* tile = surface565(64, 48);
    for (int i = 0; i < 64 * 48; ++i)
        static_cast<Uint16*>(tile->pixels)[i] = static_cast<Uint16>(i * 2654435761u >> 7);
    SDL_Surface* mine = surface565(100, 80);
    SDL_Surface* theirs = surface565(100, 80);
    std::mt19937 random(7);
    const auto any = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 300; ++round) {
        SDL_SetClipRect(mine, nullptr);
        SDL_SetClipRect(theirs, nullptr);
        SDL_FillRect(mine, nullptr, 0x1234);
        SDL_FillRect(theirs, nullptr, 0x1234);
        SDL_Rect clip{static_cast<Sint16>(any(0, 60)), static_cast<Sint16>(any(0, 50)),
                      static_cast<Uint16>(any(0, 60)), static_cast<Uint16>(any(0, 50))};
        SDL_SetClipRect(mine, &clip);
        SDL_SetClipRect(theirs, &clip);
        SDL_Rect source{static_cast<Sint16>(any(-10, 70)), static_cast<Sint16>(any(-10, 50)),
                        static_cast<Uint16>(any(0, 80)), static_cast<Uint16>(any(0, 60))};
        SDL_Rect sourceToo = source;
        SDL_Rect at{static_cast<Sint16>(any(-70, 110)), static_cast<Sint16>(any(-50, 90)), 0, 0};
        SDL_Rect atToo = at;
        ASSERT_EQ(SurfaceCopy::blit(tile, &source, mine, &at), SDL_UpperBlit(tile, &sourceToo, theirs, &atToo));
        if (atToo.w && atToo.h)
            expectRect(at, atToo.x, atToo.y, atToo.w, atToo.h);
        else
            EXPECT_TRUE(at.w == 0 || at.h == 0);
        ASSERT_EQ(0, std::memcmp(mine->pixels, theirs->pixels, static_cast<std::size_t>(mine->pitch) * 80))
            << "round " << round;
    }
    SDL_FreeSurface(theirs);
    SDL_FreeSurface(mine);
    SDL_FreeSurface(tile);
}

// Words fill lines; a word wider than a line breaks between characters,
// never inside one; a lone character wider than the line stands alone.
TEST(TextWrap, BreaksAtSpacesThenBetweenCharacters)
{
    const auto bytes = [](const std::string& t) { return static_cast<int>(t.size()); };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(TextWrap::lines("one two three four", 9, bytes), (Lines{"one two", "three", "four"}));
    EXPECT_EQ(TextWrap::lines("in /a/very/long/path", 8, bytes), (Lines{"in", "/a/very/", "long/pat", "h"}));
    EXPECT_EQ(TextWrap::lines("\xc3\xa9\xc3\xa9\xc3\xa9", 5, bytes), (Lines{"\xc3\xa9\xc3\xa9", "\xc3\xa9"}));
    EXPECT_EQ(TextWrap::lines("\xc3\xa9", 1, bytes), (Lines{"\xc3\xa9"}));
    EXPECT_EQ(TextWrap::lines("", 5, bytes), (Lines{""}));
}
