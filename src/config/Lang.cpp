#include "Lang.h"

const char* const Lang::directory = "lang/";

Lang::Lang(std::string file, ConfParser* settings) : texts("", 1)
{
    load(file);
    config = settings;
}

void Lang::load(std::string file)
{
    if (!texts.parameters.empty() && config)
        config->setValue("language", file);
    texts = ConfParser(directory + file, 1);
    std::string name;
    if (texts.value("__language", &name))
        languageName = name;
}

std::string Lang::value(std::string key) const
{
    std::string text;
    if (texts.value(key, &text) && !text.empty())
        return text;
    return "lng{" + key + "}";
}
