#ifndef TESSEL_MOUSE_H
#define TESSEL_MOUSE_H

#include <SDL.h>

// The base of every screen area that can be touched.
class Mouse {
public:
    // Results reported through click()'s `result`.
    enum { resultNone = -1, resultSpecial = -2 };

    Mouse();

    // True when (x, y) lies strictly inside `area` (its edges excluded).
    bool inArea(int x, int y) const;
    // The same strict test for any box.
    static bool inside(const SDL_Rect& box, int x, int y);

    // Offers a touch at (x, y). Returns true when the area takes it (it goes
    // no further), false to pass it on. The base takes nothing and leaves
    // *result alone.
    virtual bool click(int x, int y, int* result);

    SDL_Rect area;

protected:
    // Derived objects are destroyed as their own type only.
    ~Mouse() = default;
};

#endif
