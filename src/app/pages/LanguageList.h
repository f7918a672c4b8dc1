#ifndef TESSEL_LANGUAGELIST_H
#define TESSEL_LANGUAGELIST_H

#include <string>
#include <vector>

// The languages the language page offers: the files of lang/ whose name
// contains ".conf" and that hold at least one entry, each with the name it
// gives itself ("__language"). Line i of the page is files[i].
class LanguageList {
public:
    // Lists `directory` (a path ending in '/'); false when it cannot be read.
    bool scan(const std::string& directory);

    std::vector<std::string> names;
    std::vector<std::string> files;
};

#endif
