#include "Notification.h"

#include "Effects.h"
#include "FPS.h"
#include "Image.h"
#include "TextWrap.h"

#include <algorithm>

namespace {

const int margin = 6;    // between the plate's edge and its text
const int lineGap = 1;   // between wrapped lines

} // namespace

Notification::Notification(SDL_Surface* surface, FPS* fps) : surface(surface), fps(fps)
{
    if (!TTF_WasInit())
        TTF_Init();
}

Notification::~Notification()
{
    Image::release(&bgImage);
}

void Notification::bgFormat(SDL_Rect box, std::string image, SDL_Rect textBox, int align, TTF_Font* font,
                            SDL_Color color)
{
    bgBox = box;
    Image::release(&bgImage);
    bgImage = Image::loadAlpha(image);
    bgTextBox = textBox;
    bgAlign = align;
    bgFont = font;
    bgColor = color;
}

void Notification::wrapFormat(SDL_Color plateColour, SDL_Color rimColour, int height)
{
    plate = plateColour;
    rim = rimColour;
    maxHeight = height;
}

void Notification::setBg(std::string text, int duration)
{
    show(std::move(text), duration, true);
}

void Notification::tell(std::string text, int duration)
{
    if (text.empty() || text == bgText)
        return;
    for (const Told& told : queued)
        if (told.text == text)
            return;
    if (queued.size() >= maxQueued)
        queued.erase(queued.begin());
    queued.push_back(Told{std::move(text), duration});
    update();
}

void Notification::update()
{
    if (bgText.empty() ? !queued.empty() : fps->ticks() >= bgUntil)
        dismiss();
}

void Notification::show(std::string text, int duration, bool answer)
{
    bgText = text;
    bidden = answer;
    bgUntil = fps->ticks() + static_cast<Uint32>(duration);
    wrapped.clear();
    int w = 0, h = 0;
    if (text.empty() || !bgFont || maxHeight <= 0)
        return;
    Effects::measureText(bgFont, text, &w, &h);
    if (w <= bgTextBox.w)
        return;
    const auto measure = [this](const std::string& line) {
        int lw = 0, lh = 0;
        Effects::measureText(bgFont, line, &lw, &lh);
        return lw;
    };
    const int width = surface->w - 2 * margin;
    wrapped = TextWrap::lines(text, width, measure);
    // Lines beyond the plate's height are left out; the last shown ends in an ellipsis.
    const int lineHeight = TTF_FontLineSkip(bgFont) + lineGap;
    const std::size_t fit = static_cast<std::size_t>(std::max(1, (maxHeight - 2 * margin) / lineHeight));
    if (wrapped.size() > fit) {
        wrapped.resize(fit);
        std::string& last = wrapped.back();
        while (!last.empty() && measure(last + "\xe2\x80\xa6") > width)
            last.erase(TextWrap::lastCharStart(last));
        last += "\xe2\x80\xa6";
    }
    bgUntil = fps->ticks() + std::max<Uint32>(static_cast<Uint32>(duration), answer ? readMs : toldWrappedMs);
}

void Notification::dismiss()
{
    bgText.clear();
    wrapped.clear();
    bidden = false;
    if (queued.empty())
        return;
    Told next = std::move(queued.front());
    queued.erase(queued.begin());
    show(std::move(next.text), next.duration, false);
}

SDL_Rect Notification::extent() const
{
    if (!wrapped.empty()) {
        const int lineHeight = TTF_FontLineSkip(bgFont) + lineGap;
        const int h = std::min(maxHeight, 2 * margin + static_cast<int>(wrapped.size()) * lineHeight);
        return SDL_Rect{0, 0, static_cast<Uint16>(surface->w), static_cast<Uint16>(h)};
    }
    SDL_Rect box = bgTextBox;
    if (bgImage) {
        const int x0 = std::min(box.x, bgBox.x), y0 = std::min(box.y, bgBox.y);
        const int x1 = std::max(box.x + box.w, bgBox.x + bgImage->w);
        const int y1 = std::max(box.y + box.h, bgBox.y + bgImage->h);
        box = SDL_Rect{static_cast<Sint16>(x0), static_cast<Sint16>(y0), static_cast<Uint16>(x1 - x0),
                       static_cast<Uint16>(y1 - y0)};
    }
    return box;
}

void Notification::draw(bool blended)
{
    update();
    if (bgText.empty())
        return;
    if (!wrapped.empty())
        return drawWrapped(blended);
    Image::drawAt(bgImage, surface, bgBox.x, bgBox.y);
    SDL_Rect source;
    SDL_Rect box = bgTextBox;
    Effects::alignText(bgAlign, bgFont, bgText, &source, &box);
    Effects::blitText(surface, bgFont, bgText, bgColor, blended, &source, &box);
}

// The plate with a one-pixel rim, and the lines left-aligned on it.
void Notification::drawWrapped(bool blended)
{
    SDL_Rect all = extent();
    SDL_FillRect(surface, &all, SDL_MapRGB(surface->format, rim.r, rim.g, rim.b));
    SDL_Rect inner{1, 0, static_cast<Uint16>(all.w - 2), static_cast<Uint16>(all.h - 1)};
    SDL_FillRect(surface, &inner, SDL_MapRGB(surface->format, plate.r, plate.g, plate.b));
    const int lineHeight = TTF_FontLineSkip(bgFont) + lineGap;
    int y = margin;
    for (const std::string& line : wrapped) {
        SDL_Rect source;
        SDL_Rect box{static_cast<Sint16>(margin), static_cast<Sint16>(y), static_cast<Uint16>(all.w - 2 * margin),
                     static_cast<Uint16>(lineHeight)};
        Effects::alignText(Effects::alignLeft | Effects::alignTop, bgFont, line, &source, &box);
        Effects::blitText(surface, bgFont, line, bgColor, blended, &source, &box);
        y += lineHeight;
    }
}
