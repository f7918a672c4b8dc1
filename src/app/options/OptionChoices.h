#ifndef TESSEL_OPTIONCHOICES_H
#define TESSEL_OPTIONCHOICES_H

#include "CommandParts.h"
#include "OptionRow.h"

// A value chosen on one of the options' pages: applied at once and stored
// in the settings, as the setting's row of `OptionTable` says.
class OptionChoices {
public:
    explicit OptionChoices(const CommandParts& parts) : parts(parts) {}

    // Line `a` of the page shown; false when that page is none of the
    // options' pages.
    bool choose(int a);

private:
    void chooseFlag(const OptionRow& row, int a);
    void chooseNumber(const OptionRow& row, int value);

    CommandParts parts;
};

#endif
