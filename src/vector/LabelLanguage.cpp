#include "LabelLanguage.h"

namespace LabelLanguage {

namespace {

std::atomic<int> current{local};

} // namespace

Choice ofName(const std::string& property)
{
    if (property == "name_en" || property == "name:en")
        return english;
    if (property == "name:latin" || property == "name_int" || property == "name_latin")
        return latin;
    return local;
}

void choose(Choice c)
{
    current.store(c, std::memory_order_relaxed);
}

Choice chosen()
{
    return static_cast<Choice>(current.load(std::memory_order_relaxed));
}

} // namespace LabelLanguage
