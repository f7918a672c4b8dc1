#include "StyleSlots.h"

int StyleSlots::of(const std::string& name)
{
    const auto found = index.find(name);
    if (found != index.end())
        return found->second;
    if (names.size() >= maxSlots)
        return -1;
    names.push_back(name);
    const int slot = static_cast<int>(names.size() - 1);
    index.emplace(name, slot);
    return slot;
}

int StyleSlots::find(const std::string& name) const
{
    const auto found = index.find(name);
    return found == index.end() ? -1 : found->second;
}
