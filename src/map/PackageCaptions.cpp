#include "PackageCaptions.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace PackageCaptions {

namespace {

std::string folded(const std::string& s)
{
    std::string out = s;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

void arrange(std::vector<Entry>* entries, const std::function<bool(const std::string&)>& fits)
{
    std::stable_sort(entries->begin(), entries->end(), [](const Entry& a, const Entry& b) {
        const std::string fa = folded(a.caption), fb = folded(b.caption);
        return fa != fb ? fa < fb : a.fileName < b.fileName;
    });
    std::map<std::string, int> uses;
    for (const Entry& e : *entries)
        ++uses[e.caption];
    for (Entry& e : *entries) {
        if (uses[e.caption] < 2)
            continue;
        const std::string after = e.caption + " (" + e.fileName + ")";
        e.caption = !fits || fits(after) ? after : e.fileName + ": " + e.caption;
    }
}

} // namespace PackageCaptions
