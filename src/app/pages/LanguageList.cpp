#include "LanguageList.h"

#include "ConfParser.h"

#include <dirent.h>

bool LanguageList::scan(const std::string& directory)
{
    DIR* dir = opendir(directory.c_str());
    if (!dir)
        return false;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.find(".conf") == std::string::npos)
            continue;
        const ConfParser file(directory + name, 1);
        if (file.parameters.empty())
            continue;
        std::string language;
        file.value("__language", &language);
        names.push_back(language);
        files.push_back(name);
    }
    closedir(dir);
    return true;
}
