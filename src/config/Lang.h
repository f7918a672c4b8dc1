#ifndef TESSEL_LANG_H
#define TESSEL_LANG_H

#include "ConfParser.h"

#include <string>
#include <vector>

// The language catalogue: the texts of one file in lang/, looked up by text
// id. A missing or empty text shows as "lng{<id>}" so that it is noticed.
class Lang : public ConfParser {
public:
    // Loads lang/<file>; `config` (the settings) records later switches.
    Lang(std::string file, ConfParser* config);

    // Switches to lang/<file>. The choice is stored in the settings key
    // "language" unless the catalogue was empty before.
    void load(std::string file);
    // load() of the listed language `index`; nothing for an index outside the list.
    void load(int index);
    std::string value(std::string key);
    // Lists the languages found in lang/ (files whose name contains ".conf"
    // and that hold at least one entry) in languageNames and languageFiles;
    // their indexes are those of load(int). False when lang/ cannot be read.
    bool scan();

    ConfParser* config = nullptr;
    std::string languageName;
    std::vector<std::string> languageNames;
    std::vector<std::string> languageFiles;

    static const char* const directory;
};

#endif
