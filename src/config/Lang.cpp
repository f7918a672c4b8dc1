#include "Lang.h"

#include <dirent.h>

const char* const Lang::directory = "lang/";

Lang::Lang(std::string file, ConfParser* settings) : ConfParser("", 1)
{
    load(file);
    config = settings;
}

void Lang::load(std::string file)
{
    if (!parameters.empty() && config)
        config->setValue("language", file);
    ConfParser next(directory + file, 1);
    ConfParser::operator=(next);
    std::string name;
    if (ConfParser::value("__language", &name))
        languageName = name;
}

void Lang::load(int index)
{
    if (index >= 0 && index < static_cast<int>(languageFiles.size()))
        load(languageFiles[static_cast<std::size_t>(index)]);
}

std::string Lang::value(std::string key)
{
    std::string text;
    if (ConfParser::value(key, &text) && !text.empty())
        return text;
    return "lng{" + key + "}";
}

bool Lang::scan()
{
    DIR* dir = opendir("./lang");
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
        languageNames.push_back(language);
        languageFiles.push_back(name);
    }
    closedir(dir);
    return true;
}
