#ifndef TESSEL_FINDPAGE_H
#define TESSEL_FINDPAGE_H

#include "Keyboard.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>
#include <vector>

class Signature;

// The page that covers the screen while the user types: a field, the
// lines found under it, and the on-screen keyboard. Keys typed on a
// keyboard go straight into the field (and put the on-screen one away);
// the arrows walk the on-screen keys and the lines, Return presses the key
// or chooses the line, Escape leaves. The page only reports what the user
// did; its owner searches and acts.
class FindPage {
public:
    struct Action {
        enum Kind { none, edited, choose, confirm, leave } kind = none;
        int line = -1; // for choose
    };
    static const SDL_Rect fieldBox, linesBox, keyboardBox;
    static const int lineHeight = 17;

    // Opens the page with `prompt` before the field and `text` in it.
    void open(const std::string& prompt, const std::string& text, bool naming);
    void close() { visible = false; }
    // One event while the page shows; key releases are not its own.
    Action take(const SDL_Event& event);
    // The lines under the field: `message` (why nothing, what is expected)
    // first when not empty, then one line per result.
    void show(const std::vector<std::string>& results, const std::string& message);

    void draw(SDL_Surface* screen, bool blended) const;
    void sign(Signature* look) const;

    bool visible = false;
    bool naming = false; // the field is a name to confirm, not a query
    std::string prompt, text, message;
    std::vector<std::string> messageLines; // the message wrapped, at most three
    TTF_Font* font = nullptr;
    std::vector<std::string> lines;
    Keyboard keyboard;
    bool keyboardShown = true;
    bool onKeyboard = true; // the arrows' selection is on the keyboard
    int selected = 0, first = 0;

private:
    Action key(const SDL_keysym& key);
    Action press(int x, int y);
    Action pressKey(Keyboard::Press press, const std::string& typed);
    Action arrow(int dx, int dy);
    void type(const std::string& typed);
    void backspace();
    int visibleLines() const;
    void keepSelectionShown();
};

#endif
