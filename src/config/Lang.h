#ifndef TESSEL_LANG_H
#define TESSEL_LANG_H

#include "ConfParser.h"

#include <string>

// The language catalogue: the texts of one file in lang/, looked up by text
// id. A missing or empty text shows as "lng{<id>}" so that it is noticed.
class Lang {
public:
    // Loads lang/<file>; `config` (the settings) records later switches.
    Lang(std::string file, ConfParser* config);

    // Switches to lang/<file>. The choice is stored in the settings key
    // "language" unless the catalogue was empty before.
    void load(std::string file);
    std::string value(std::string key) const;

    ConfParser* config = nullptr;
    std::string languageName;

    static const char* const directory;

private:
    ConfParser texts;
};

#endif
