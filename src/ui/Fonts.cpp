#include "Fonts.h"

#include "TextCache.h"

Fonts::Fonts() = default;

Fonts::~Fonts()
{
    close();
}

bool Fonts::open(const std::string& path)
{
    close();
    for (auto [font, points] : {std::make_pair(&text, 11), std::make_pair(&heading, 16), std::make_pair(&small, 9)}) {
        *font = TTF_OpenFont(path.c_str(), points);
        if (*font)
            caches.push_back(std::make_unique<TextCache>(*font));
    }
    return text && heading && small;
}

void Fonts::close()
{
    // The texts go before their fonts.
    caches.clear();
    for (TTF_Font** font : {&text, &heading, &small}) {
        if (*font)
            TTF_CloseFont(*font);
        *font = nullptr;
    }
}
