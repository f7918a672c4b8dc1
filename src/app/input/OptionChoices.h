#ifndef TESSEL_OPTIONCHOICES_H
#define TESSEL_OPTIONCHOICES_H

#include "CommandParts.h"

// A value chosen on one of the options' pages: applied at once and stored
// in the settings.
class OptionChoices {
public:
    explicit OptionChoices(const CommandParts& parts) : parts(parts) {}

    // Line `a` of the page shown; false when that page is none of the
    // options' pages.
    bool choose(int a);

private:
    bool storeYesNo(int a);
    void setFpsLimit(int limit);
    void setMissingTiles(int a);
    void changeSpeed(int speed);
    void changeMultiplier(int factor);

    CommandParts parts;
};

#endif
