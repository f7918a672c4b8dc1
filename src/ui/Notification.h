#ifndef TESSEL_NOTIFICATION_H
#define TESSEL_NOTIFICATION_H

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>
#include <vector>

class FPS;

// A message over a background image, shown for a limited time. A message
// too wide for its text box is wrapped instead onto a plate across the top
// of the screen. One that answers the user's own action (setBg) stays
// until it is read (dismiss(): the next key or touch) or for readMs,
// whichever comes first. One that comes by itself (tell) never waits for
// a key: it passes after its time, and one told while another shows
// follows it, so a start-up hint is not replaced by the next notice.
class Notification {
public:
    static constexpr Uint32 readMs = 30000;
    // A wrapped notice that came by itself shows at least this long.
    static constexpr Uint32 toldWrappedMs = 6000;

    Notification(SDL_Surface* surface, FPS* fps);
    ~Notification();
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    // The background image (drawn at `box`) and where and how the message is
    // placed. Without the image the message is drawn alone.
    void bgFormat(SDL_Rect box, std::string image, SDL_Rect textBox, int align, TTF_Font* font, SDL_Color color);
    // The plate of a wrapped message: its fill and rim colours; it spans the
    // surface's width and grows down from the top, at most `maxHeight`.
    void wrapFormat(SDL_Color plate, SDL_Color rim, int maxHeight);
    static constexpr std::size_t maxQueued = 4;

    // Shows `text` for `duration` ms from now, replacing any message: the
    // answer to what the user just did.
    void setBg(std::string text, int duration);
    // Shows `text` for `duration` ms once the messages before it passed: a
    // notice the user did not ask for. The same text queued twice is told
    // once; past maxQueued the oldest waiting is dropped.
    void tell(std::string text, int duration);
    // True while a wrapped answer waits to be read.
    bool waiting() const { return !bgText.empty() && !wrapped.empty() && bidden; }
    // Ends the message shown; the next told one follows.
    void dismiss();
    // Ends an expired message and starts the next told one.
    void update();
    // Draws the message while it lasts (update() first).
    void draw(bool blended);
    // Everything the message draws lies inside this.
    SDL_Rect extent() const;

    SDL_Rect bgBox{0, 0, 0, 0};
    SDL_Rect bgTextBox{0, 0, 0, 0};
    int bgAlign = 0;
    SDL_Surface* bgImage = nullptr;
    TTF_Font* bgFont = nullptr;
    SDL_Color bgColor{0, 0, 0, 0};
    std::string bgText;
    Uint32 bgUntil = 0;
    // The lines of a wrapped message; empty for one that fits its text box.
    std::vector<std::string> wrapped;
    bool bidden = false; // the message shown answers the user
    SDL_Surface* surface;

private:
    struct Told {
        std::string text;
        int duration;
    };
    void show(std::string text, int duration, bool answer);
    void drawWrapped(bool blended);

    std::vector<Told> queued;

    FPS* fps;
    SDL_Color plate{0, 0, 0, 0}, rim{0, 0, 0, 0};
    int maxHeight = 0;
};

#endif
