#ifndef TESSEL_STYLESLOTS_H
#define TESSEL_STYLESLOTS_H

#include <string>
#include <unordered_map>
#include <vector>

// The property names a style's filters and labels use, each given a slot
// (its index) the first time it is named, so features are looked up by
// index rather than by name. Found by hashing: a style names thousands.
class StyleSlots {
public:
    // More names than any real style uses; a style naming more is refused
    // layer by layer.
    static constexpr std::size_t maxSlots = 4096;

    // The slot of `name`, given one when new; -1 when the table is full.
    int of(const std::string& name);
    // The slot of `name`; -1 when it has none.
    int find(const std::string& name) const;
    std::size_t size() const { return names.size(); }

    std::vector<std::string> names; // by slot

private:
    std::unordered_map<std::string, int> index;
};

#endif
