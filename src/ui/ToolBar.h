#ifndef TESSEL_TOOLBAR_H
#define TESSEL_TOOLBAR_H

#include "Effects.h"
#include "Mouse.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <string>
#include <vector>

class FPS;

struct ToolBarIcon {
    SDL_Surface* image = nullptr;         // normal look
    SDL_Surface* disabledImage = nullptr; // while disabled
    SDL_Surface* activeImage = nullptr;   // while selected
    std::string text;                     // shown while selected
    SDL_Rect box{0, 0, 0, 0};
    int column = 0;
    int row = 0;
    int id = 0;         // reported by click()
    bool disabled = false;
    int addOrder = 0;   // the icon's identity: its position in the order of addition
};

struct ToolBarImage {
    SDL_Rect box{0, 0, 0, 0};
    SDL_Surface* image = nullptr;
};

struct ToolBarText {
    SDL_Rect box{0, 0, 0, 0};
    int align = 0;
    TTF_Font* font = nullptr;
    SDL_Color color{0, 0, 0, 0};
    std::string text;
};

// The strip of icon buttons: decoration images, a grid of icons in three
// looks, the selected icon's name rolling in its box, and fixed texts.
class ToolBar : public Mouse {
public:
    explicit ToolBar(SDL_Surface* surface);
    ~ToolBar();
    ToolBar(const ToolBar&) = delete;
    ToolBar& operator=(const ToolBar&) = delete;

    void setIconText(SDL_Rect box, int align, TTF_Font* font, SDL_Color color);
    // The image's position, or -1 (nothing added) when the file cannot be loaded.
    int addImage(SDL_Rect box, std::string file);
    // Adds an icon (a look whose file cannot be loaded is not drawn), keeps
    // the icons sorted by row then column and selects the first enabled one
    // (else the first). Returns the icon's addOrder.
    int addIcon(SDL_Rect box, int column, int row, int id, std::string image, std::string disabledImage,
                std::string activeImage, std::string text, bool disabled);
    static bool iconSort(const ToolBarIcon& a, const ToolBarIcon& b);
    // The icon added as number `addOrder`, or icons.end().
    std::vector<ToolBarIcon>::iterator findIcon(int addOrder);
    int addText(SDL_Rect box, int align, TTF_Font* font, SDL_Color color, std::string text);
    bool changeText(int index, std::string text);
    // False for a position outside the list, or a file that cannot be loaded
    // (the old image stays).
    bool changeImage(int index, std::string file);

    // Move the selection along its row or column, wrapping; they return the
    // newly selected icon's addOrder (-1 without icons).
    int moveRight();
    int moveLeft();
    int moveDown();
    int moveUp();

    // Takes every touch inside its area; an enabled icon under it becomes
    // the selection and its id goes to *result.
    bool click(int x, int y, int* result) override;
    void draw(FPS* fps, bool blended);
    // What the bar would draw, but the rolling name (see rollingName).
    void sign(class Signature* look) const;
    // True while the selected icon's name is wider than its box and rolls.
    bool rolling() const;
    // Everything the bar draws lies inside this.
    SDL_Rect extent() const;

    // The selected icon; null before the first icon is added.
    ToolBarIcon* selectedIcon();

    std::vector<ToolBarIcon> icons;
    int selected = -1; // position in the sorted icons
    std::vector<ToolBarImage> images;
    std::vector<ToolBarText> texts;
    SDL_Rect iconTextBox{0, 0, 0, 0};
    int iconTextAlign = 0;
    TTF_Font* iconTextFont = nullptr;
    SDL_Color iconTextColor{0, 0, 0, 0};
    SDL_Surface* surface;
    bool visible = true;
    Effects::Rolling iconTextRoll;

private:
    int step(int direction, bool alongRow);
    void drawIcon(FPS* fps, bool blended, int position);
};

#endif
