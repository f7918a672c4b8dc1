#include "FPS.h"

#include "Clock.h"
#include "Effects.h"

#include <cstdio>

FPS::FPS(Clock* clock)
    : lastTicks(0), frameTime(0), limit(0), surface(nullptr), textBox{0, 0, 0, 0}, textAlign(0), font(nullptr),
      textColor{0, 0, 0, 0}, nextTextUpdate(0), shownRate(0.0f), clock(clock ? clock : Clock::system())
{
    lastTicks = ticks();
}

Uint32 FPS::ticks() const
{
    return clock->ticks();
}

int FPS::pauseCarry(int ms) const
{
    return -static_cast<int>(ticks() + static_cast<Uint32>(ms));
}

void FPS::setText(SDL_Surface* target, SDL_Rect box, int align, TTF_Font* textFont, SDL_Color color)
{
    surface = target;
    textBox = box;
    textAlign = align;
    font = textFont;
    textColor = color;
}

void FPS::setLimit(int cap)
{
    limit = cap > 0 ? cap : 0;
    frameTime = limit != 0 ? 1000 / limit : 5;
}

void FPS::refresh()
{
    const Uint32 elapsed = ticks() - lastTicks;
    if (limit != 0) {
        const Uint32 frameMs = 1000 / static_cast<Uint32>(limit);
        // Waits only while the frame would run faster than the cap; a frame
        // of exactly the cap's rate does not wait.
        if (elapsed == 0 || 1000.0 / elapsed > limit) {
            if (frameMs > elapsed)
                clock->delay(frameMs - elapsed);
        }
    }
    frameTime = ticks() - lastTicks;
    lastTicks = ticks();
}

int FPS::moveDistance(int speed, int* carry)
{
    if (*carry < 0) {
        const Uint32 until = 0u - static_cast<Uint32>(*carry);
        if (until > ticks())
            return 0;
        *carry = 0;
    }
    if (frameTime == 0)
        return 0; // an endless rate moves nothing
    const bool negative = speed < 0;
    const float s = negative ? -static_cast<float>(speed) : static_cast<float>(speed);
    const float rate = 1000.0f / static_cast<float>(frameTime);
    const float exact = s / rate;
    int whole = static_cast<int>(exact);
    const int milli = static_cast<int>((exact - static_cast<float>(whole)) * 1000.0f);
    const int total = *carry + milli;
    whole += total / 1000;
    *carry = total % 1000;
    return negative ? -whole : whole;
}

void FPS::draw(bool blended)
{
    if (!font)
        return;
    if (ticks() >= nextTextUpdate) {
        // A frame shorter than a tick has no finite rate; -1 marks it.
        shownRate = frameTime != 0 ? 1000.0f / static_cast<float>(frameTime) : -1.0f;
        nextTextUpdate = ticks() + 333;
    }
    char text[32];
    if (shownRate >= 0.0f)
        std::snprintf(text, sizeof text, "%.2f FPS", static_cast<double>(shownRate));
    else
        std::snprintf(text, sizeof text, "1000+ FPS");
    SDL_Rect source;
    SDL_Rect box = textBox;
    Effects::alignText(textAlign, font, text, &source, &box);
    Effects::blitText(surface, font, text, textColor, blended, &source, &box);
}
