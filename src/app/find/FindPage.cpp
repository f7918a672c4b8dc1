#include "FindPage.h"

#include "Effects.h"
#include "Signature.h"
#include "TextWrap.h"

#include <algorithm>

const SDL_Rect FindPage::fieldBox{0, 0, 320, 22};
const SDL_Rect FindPage::linesBox{0, 24, 320, 216};
const SDL_Rect FindPage::keyboardBox{0, 160, 320, 80};

namespace {

const std::size_t maxTextBytes = 200;

// UCS-2, as SDL 1.2 reports a typed character, in UTF-8.
std::string utf8(Uint16 c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

void fillBox(SDL_Surface* screen, SDL_Rect box, Uint8 r, Uint8 g, Uint8 b)
{
    SDL_FillRect(screen, &box, SDL_MapRGB(screen->format, r, g, b));
}

void label(SDL_Surface* screen, TTF_Font* font, const std::string& s, SDL_Color ink, bool blended, SDL_Rect box,
          int align)
{
    SDL_Rect source;
    Effects::alignText(align | Effects::alignMiddle, font, s, &source, &box);
    Effects::blitText(screen, font, s, ink, blended, &source, &box);
}

} // namespace

void FindPage::open(const std::string& heading, const std::string& initial, bool name)
{
    visible = true;
    naming = name;
    prompt = heading;
    text = initial;
    message.clear();
    messageLines.clear();
    lines.clear();
    keyboardShown = true;
    onKeyboard = true;
    selected = first = 0;
    keyboard.place(keyboardBox);
    // A name comes with a good default: the selection starts on OK.
    keyboard.page = 0;
    keyboard.row = name ? Keyboard::rows - 1 : 1;
    keyboard.unit = name ? Keyboard::columns - 2 : 0;
}

void FindPage::show(const std::vector<std::string>& results, const std::string& note)
{
    lines = results;
    message = note;
    messageLines.clear();
    if (!message.empty() && font)
        messageLines = TextWrap::lines(message, linesBox.w - 8, [this](const std::string& s) {
            int w = 0, h = 0;
            Effects::measureText(font, s, &w, &h);
            return w;
        });
    if (messageLines.size() > 3)
        messageLines.resize(3);
    selected = first = 0;
    if (lines.empty() && keyboardShown)
        onKeyboard = true;
}

FindPage::Action FindPage::take(const SDL_Event& event)
{
    if (event.type == SDL_KEYDOWN)
        return key(event.key.keysym);
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        const Uint8 button = event.button.button;
        if (button == SDL_BUTTON_WHEELUP || button == SDL_BUTTON_WHEELDOWN) {
            onKeyboard = false;
            return arrow(0, button == SDL_BUTTON_WHEELUP ? -1 : 1);
        }
        return press(static_cast<Sint16>(event.button.x), static_cast<Sint16>(event.button.y));
    }
    return Action();
}

FindPage::Action FindPage::key(const SDL_keysym& key)
{
    Action action;
    switch (key.sym) {
    case SDLK_ESCAPE:
        action.kind = Action::leave;
        return action;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: {
        if (onKeyboard && keyboardShown) {
            std::string typed;
            const Keyboard::Press p = keyboard.press(&typed);
            return pressKey(p, typed);
        }
        return pressKey(Keyboard::Press::enter, "");
    }
    case SDLK_BACKSPACE:
        return pressKey(Keyboard::Press::backspace, "");
    case SDLK_UP:
        return arrow(0, -1);
    case SDLK_DOWN:
        return arrow(0, 1);
    case SDLK_LEFT:
        return arrow(-1, 0);
    case SDLK_RIGHT:
        return arrow(1, 0);
    default:
        break;
    }
    if (key.unicode >= 0x20 && key.unicode != 0x7F) {
        // A keyboard is at hand: the on-screen one goes away.
        keyboardShown = false;
        onKeyboard = false;
        return pressKey(Keyboard::Press::text, utf8(key.unicode));
    }
    return action;
}

FindPage::Action FindPage::pressKey(Keyboard::Press p, const std::string& typed)
{
    Action action;
    switch (p) {
    case Keyboard::Press::text:
        type(typed);
        action.kind = Action::edited;
        break;
    case Keyboard::Press::backspace:
        backspace();
        action.kind = Action::edited;
        break;
    case Keyboard::Press::enter:
        if (naming) {
            action.kind = Action::confirm;
        } else if (!lines.empty()) {
            action.kind = Action::choose;
            action.line = onKeyboard ? 0 : selected;
        }
        break;
    case Keyboard::Press::none:
        break;
    }
    return action;
}

FindPage::Action FindPage::press(int x, int y)
{
    Action action;
    if (keyboardShown && y >= keyboardBox.y) {
        std::string typed;
        onKeyboard = true;
        return pressKey(keyboard.click(x, y, &typed), typed);
    }
    if (y < linesBox.y) {
        keyboardShown = true;
        onKeyboard = true;
        return action;
    }
    const int row = (y - linesBox.y) / lineHeight - static_cast<int>(messageLines.size());
    if (row >= 0 && first + row < static_cast<int>(lines.size())) {
        selected = first + row;
        onKeyboard = false;
        action.kind = Action::choose;
        action.line = selected;
    }
    return action;
}

FindPage::Action FindPage::arrow(int dx, int dy)
{
    if (onKeyboard && keyboardShown) {
        if (!keyboard.move(dx, dy) && !lines.empty()) {
            onKeyboard = false;
            selected = std::min(static_cast<int>(lines.size()), first + visibleLines()) - 1;
        }
        return Action();
    }
    if (dy < 0 && selected > 0)
        --selected;
    else if (dy > 0 && selected + 1 < static_cast<int>(lines.size()))
        ++selected;
    else if (dy > 0 && keyboardShown)
        onKeyboard = true;
    keepSelectionShown();
    return Action();
}

void FindPage::type(const std::string& typed)
{
    if (text.size() + typed.size() <= maxTextBytes)
        text += typed;
}

void FindPage::backspace()
{
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
        text.pop_back();
    if (!text.empty())
        text.pop_back();
}

int FindPage::visibleLines() const
{
    const int bottom = keyboardShown ? keyboardBox.y : linesBox.y + linesBox.h;
    return std::max(1, (bottom - linesBox.y) / lineHeight - static_cast<int>(messageLines.size()));
}

void FindPage::keepSelectionShown()
{
    if (selected < first)
        first = selected;
    if (selected >= first + visibleLines())
        first = selected - visibleLines() + 1;
}

void FindPage::draw(SDL_Surface* screen, bool blended) const
{
    fillBox(screen, SDL_Rect{0, 0, static_cast<Uint16>(screen->w), static_cast<Uint16>(screen->h)}, 24, 26, 32);
    fillBox(screen, fieldBox, 44, 48, 58);
    const SDL_Color amber{255, 191, 0, 0}, grey{210, 210, 210, 0}, black{0, 0, 0, 0};
    const std::string field = prompt + " " + text + "_";
    int w = 0, h = 0;
    Effects::measureText(font, field, &w, &h);
    SDL_Rect inField{4, fieldBox.y, static_cast<Uint16>(fieldBox.w - 8), fieldBox.h};
    // A long entry shows its end, where the typing is.
    label(screen, font, field, amber, blended, inField, w > inField.w ? Effects::alignRight : Effects::alignLeft);
    const int rows = visibleLines();
    int y = linesBox.y;
    SDL_Rect row{4, 0, static_cast<Uint16>(linesBox.w - 8), lineHeight};
    for (const std::string& part : messageLines) {
        row.y = static_cast<Sint16>(y);
        label(screen, font, part, amber, blended, row, Effects::alignLeft);
        y += lineHeight;
    }
    for (int i = first; i < first + rows && i < static_cast<int>(lines.size()); ++i, y += lineHeight) {
        const bool chosen = !onKeyboard && i == selected;
        if (chosen)
            fillBox(screen, SDL_Rect{0, static_cast<Sint16>(y), linesBox.w, lineHeight}, 255, 191, 0);
        row.y = static_cast<Sint16>(y);
        label(screen, font, lines[static_cast<std::size_t>(i)], chosen ? black : grey, blended, row, Effects::alignLeft);
    }
    if (keyboardShown)
        keyboard.draw(screen, font, blended, onKeyboard);
}

void FindPage::sign(Signature* look) const
{
    look->add(static_cast<std::uint64_t>(visible) | static_cast<std::uint64_t>(keyboardShown) << 1 |
              static_cast<std::uint64_t>(onKeyboard) << 2);
    if (!visible)
        return;
    look->add(prompt);
    look->add(text);
    look->add(message);
    look->add(static_cast<std::uint64_t>(selected) << 32 | static_cast<std::uint64_t>(first));
    for (const std::string& line : lines)
        look->add(line);
    keyboard.sign(look);
}
