#include "Keyboard.h"

#include "Effects.h"
#include "Signature.h"

namespace {

// The characters of a UTF-8 text, each as its bytes.
std::vector<std::string> characters(const std::string& text)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80 && !out.empty())
            out.back() += text[i];
        else if (c >= 0x20)
            out.emplace_back(1, text[i]);
    }
    return out;
}

const char* const digits = "1234567890";
const char* const letterRows[] = {"qwertyuiop", "asdfghjkl-", "zxcvbnm,.'"};
// Degrees, minutes and seconds, the hemispheres, "geo:".
const char* const markRows[] = {"\xC2\xB0'\":;,.-+/", "NSEW()&#@_", "!?*=%$[]<>"};

} // namespace

Keyboard::Keyboard(const std::string& accents) : accents(accents)
{
    build();
}

void Keyboard::setAccents(const std::string& text)
{
    accents = text;
    page = 0;
    build();
}

void Keyboard::build()
{
    const bool accented = !characters(accents).empty();
    auto textRow = [](const std::vector<std::string>& chars) {
        std::vector<Key> row;
        for (const std::string& c : chars)
            row.push_back(Key{c, c, static_cast<int>(Press::text), 1});
        return row;
    };
    auto bottom = [&](int self) {
        std::vector<Key> row;
        row.push_back(Key{self == 0 ? "#+" : "abc", "", pageBase + (self == 0 ? 2 : 0), 1});
        if (accented)
            row.push_back(Key{self == 1 ? "#+" : "\xC3\xA1\xC3\xA9", "", pageBase + (self == 1 ? 2 : 1), 1});
        row.push_back(Key{"\xE2\x90\xA3", " ", static_cast<int>(Press::text), accented ? 4 : 5});
        row.push_back(Key{"\xE2\x8C\xAB", "", static_cast<int>(Press::backspace), 2});
        row.push_back(Key{"OK", "", static_cast<int>(Press::enter), 2});
        return row;
    };
    const std::vector<std::string> digitKeys = characters(digits);
    for (int p = 0; p < 3; ++p) {
        pages[p].clear();
        pages[p].push_back(textRow(digitKeys));
        std::vector<std::string> chars = p == 1 ? characters(accents) : std::vector<std::string>();
        for (int r = 0; r < 3; ++r) {
            if (p == 1) {
                const std::size_t from = static_cast<std::size_t>(r) * columns;
                std::vector<std::string> part;
                for (std::size_t i = from; i < chars.size() && i < from + columns; ++i)
                    part.push_back(chars[i]);
                pages[p].push_back(textRow(part));
            } else {
                pages[p].push_back(textRow(characters(p == 0 ? letterRows[r] : markRows[r])));
            }
        }
        pages[p].push_back(bottom(p));
    }
}

const std::vector<Keyboard::Key>& Keyboard::rowKeys(int r) const
{
    return pages[page][static_cast<std::size_t>(r)];
}

// The key of row r that covers column u (the last one when the row is
// shorter); *first its first column. A row without keys gives its size.
std::size_t Keyboard::keyAt(int r, int u, int* first) const
{
    const std::vector<Key>& keys = rowKeys(r);
    int x = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (u < x + keys[i].units || i + 1 == keys.size()) {
            *first = x;
            return i;
        }
        x += keys[i].units;
    }
    *first = 0;
    return keys.size();
}

bool Keyboard::move(int dx, int dy)
{
    if (dy != 0) {
        int r = row + dy;
        while (r >= 0 && r < rows && rowKeys(r).empty())
            r += dy;
        if (r < 0)
            return false;
        if (r < rows)
            row = r;
        return true;
    }
    const std::vector<Key>& keys = rowKeys(row);
    if (keys.empty() || dx == 0)
        return true;
    int first = 0;
    const std::size_t i = keyAt(row, unit, &first);
    const std::size_t next = dx > 0 ? (i + 1) % keys.size() : (i + keys.size() - 1) % keys.size();
    int x = 0;
    for (std::size_t k = 0; k < next; ++k)
        x += keys[k].units;
    unit = x;
    return true;
}

Keyboard::Press Keyboard::act(const Key& key, std::string* text)
{
    if (key.action >= pageBase) {
        page = key.action - pageBase;
        while (rowKeys(row).empty())
            ++row;
        return Press::none;
    }
    *text = key.text;
    return static_cast<Press>(key.action);
}

Keyboard::Press Keyboard::press(std::string* text)
{
    int first = 0;
    const std::size_t i = keyAt(row, unit, &first);
    if (i >= rowKeys(row).size())
        return Press::none;
    return act(rowKeys(row)[i], text);
}

Keyboard::Press Keyboard::click(int x, int y, std::string* text)
{
    if (area.w == 0 || area.h == 0 || x < area.x || y < area.y || x >= area.x + area.w || y >= area.y + area.h)
        return Press::none;
    const int r = (y - area.y) * rows / area.h, u = (x - area.x) * columns / area.w;
    int first = 0;
    const std::vector<Key>& keys = rowKeys(r);
    const std::size_t i = keyAt(r, u, &first);
    if (i >= keys.size() || u >= first + keys[i].units)
        return Press::none;
    row = r;
    unit = u;
    return act(keys[i], text);
}

void Keyboard::draw(SDL_Surface* screen, TTF_Font* font, bool blended, bool selectionShown) const
{
    SDL_Rect all = area;
    SDL_FillRect(screen, &all, SDL_MapRGB(screen->format, 20, 22, 28));
    const int w = area.w / columns, h = area.h / rows;
    int selectedFirst = 0;
    const std::size_t selected = keyAt(row, unit, &selectedFirst);
    for (int r = 0; r < rows; ++r) {
        int x = 0;
        const std::vector<Key>& keys = rowKeys(r);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const bool chosen = selectionShown && r == row && i == selected;
            SDL_Rect key{static_cast<Sint16>(area.x + x * w + 1), static_cast<Sint16>(area.y + r * h + 1),
                         static_cast<Uint16>(keys[i].units * w - 2), static_cast<Uint16>(h - 2)};
            SDL_FillRect(screen, &key, chosen ? SDL_MapRGB(screen->format, 255, 191, 0)
                                              : SDL_MapRGB(screen->format, 60, 64, 74));
            SDL_Rect source, box = key;
            const SDL_Color ink = chosen ? SDL_Color{0, 0, 0, 0} : SDL_Color{230, 230, 230, 0};
            Effects::alignText(Effects::alignCenter | Effects::alignMiddle, font, keys[i].label, &source, &box);
            Effects::blitText(screen, font, keys[i].label, ink, blended, &source, &box);
            x += keys[i].units;
        }
    }
}

void Keyboard::sign(Signature* look) const
{
    look->add(area);
    look->add(static_cast<std::uint64_t>(page) << 32 | static_cast<std::uint64_t>(row) << 16 |
              static_cast<std::uint64_t>(unit));
    look->add(accents);
}
