#include "Splash.h"

#include "Clock.h"
#include "Effects.h"

#include <SDL_image.h>

namespace {

// One axis of the fit: a smaller picture is centred, a larger one has its
// middle copied.
void fitAxis(int picture, int screen, Sint16* sourceOffset, Sint16* screenOffset, Uint16* length)
{
    *sourceOffset = static_cast<Sint16>(picture > screen ? (picture - screen) / 2 : 0);
    *screenOffset = static_cast<Sint16>(picture < screen ? (screen - picture) / 2 : 0);
    *length = static_cast<Uint16>(picture < screen ? picture : screen);
}

// Placement of splash text: right and bottom win over centre.
int placeOnAxis(int start, int span, int size, bool center, bool farEnd)
{
    if (span < size)
        return start;
    if (farEnd)
        return start + span - size;
    if (center)
        return start + (span - size) / 2;
    return start;
}

} // namespace

Splash::Splash(std::string file, SDL_Surface* screen, Clock* clock)
    : screen(screen), clock(clock ? clock : Clock::system())
{
    if (!TTF_WasInit())
        TTF_Init();
    if (SDL_Surface* loaded = IMG_Load(file.c_str())) {
        picture = SDL_DisplayFormat(loaded);
        SDL_FreeSurface(loaded);
    }
    if (!picture && screen) {
        picture = SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, screen->format->BitsPerPixel,
                                       screen->format->Rmask, screen->format->Gmask, screen->format->Bmask, 0);
        if (picture)
            SDL_FillRect(picture, nullptr, 0);
    }
    fit();
}

Splash::~Splash()
{
    if (picture)
        SDL_FreeSurface(picture);
}

void Splash::fit()
{
    if (!picture || !screen)
        return;
    fitAxis(picture->w, screen->w, &sourceBox.x, &screenBox.x, &sourceBox.w);
    fitAxis(picture->h, screen->h, &sourceBox.y, &screenBox.y, &sourceBox.h);
    screenBox.w = sourceBox.w;
    screenBox.h = sourceBox.h;
}

void Splash::drawText(SDL_Rect box, int align, TTF_Font* font, bool blended, SDL_Color color, std::string text)
{
    if (!picture || !font || text.empty())
        return;
    int w = 0, h = 0;
    TTF_SizeUTF8(font, text.c_str(), &w, &h);
    SDL_Rect at;
    at.x = static_cast<Sint16>(placeOnAxis(box.x, box.w, w, align & Effects::alignCenter, align & Effects::alignRight));
    at.y = static_cast<Sint16>(placeOnAxis(box.y, box.h, h, align & Effects::alignMiddle, align & Effects::alignBottom));
    at.w = static_cast<Uint16>(w);
    at.h = static_cast<Uint16>(h);
    Effects::blitText(picture, font, text, color, blended, nullptr, &at);
}

void Splash::show(int ms)
{
    if (!picture || !screen)
        return;
    SDL_Rect source = sourceBox;
    SDL_Rect target = screenBox;
    SDL_UpperBlit(picture, &source, screen, &target);
    if (ms > 0) {
        SDL_UpdateRect(screen, screenBox.x, screenBox.y, screenBox.w, screenBox.h);
        clock->delay(static_cast<Uint32>(ms));
    }
}
