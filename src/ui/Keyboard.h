#ifndef TESSEL_KEYBOARD_H
#define TESSEL_KEYBOARD_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>
#include <vector>

class Signature;

// An on-screen keyboard for a device without keys to type on: a grid of
// keys worked with the arrows and Return or by touch. Three pages: Latin
// letters and digits, the accented letters of the interface's language
// (when it has any), and the marks coordinates are written with.
class Keyboard {
public:
    enum class Press { none, text, backspace, enter };
    static const int columns = 10, rows = 5;

    // `accents`: the language's own letters, UTF-8, e.g. "áčďéěíňóřšťúůýž".
    explicit Keyboard(const std::string& accents = "");
    void setAccents(const std::string& accents);
    void place(const SDL_Rect& box) { area = box; }

    // The selection by an arrow; false when it would leave the top row
    // upwards (the caller moves on).
    bool move(int dx, int dy);
    // The selected key, or the one under (x, y); *text the characters a
    // text key types. Page keys switch the page and report none.
    Press press(std::string* text);
    Press click(int x, int y, std::string* text);

    void draw(SDL_Surface* screen, TTF_Font* font, bool blended, bool selectionShown) const;
    void sign(Signature* look) const;

    SDL_Rect area{0, 0, 0, 0};
    int row = 1, unit = 0; // the selected key: its row and a column it covers
    int page = 0;

private:
    struct Key {
        std::string label, text;
        int action; // a Press, or a page to show (pageBase + page)
        int units;
    };
    static const int pageBase = 100;
    const std::vector<Key>& rowKeys(int r) const;
    std::size_t keyAt(int r, int u, int* first) const;
    Press act(const Key& key, std::string* text);
    void build();

    std::string accents;
    std::vector<std::vector<Key>> pages[3];
};

#endif
