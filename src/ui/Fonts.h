#ifndef TESSEL_FONTS_H
#define TESSEL_FONTS_H

#include <SDL_ttf.h>
#include <memory>
#include <string>
#include <vector>

class TextCache;

// The three sizes of the interface font and what is kept for each
// (TextCache); closed, and their texts released, when destroyed.
class Fonts {
public:
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // Opens the three sizes from `path`; false when any cannot be opened.
    bool open(const std::string& path);
    void close();

    TTF_Font* text = nullptr;    // 11 points: splash, toolbar, notification, menu lines
    TTF_Font* heading = nullptr; // 16 points: menu heading
    TTF_Font* small = nullptr;   // 9 points: map attribution, frame rate

private:
    std::vector<std::unique_ptr<TextCache>> caches;
};

#endif
