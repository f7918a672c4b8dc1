#include "TileUrl.h"

bool TileUrl::parse(const std::string& p, std::string* error)
{
    if (p.compare(0, 7, "http://") != 0 && p.compare(0, 8, "https://") != 0) {
        *error = "the address must start with http:// or https://";
        return false;
    }
    bool z = false, x = false, y = false;
    for (std::size_t open = p.find('{'); open != std::string::npos; open = p.find('{', open + 1)) {
        const std::size_t close = p.find('}', open);
        const std::string name = close == std::string::npos ? p.substr(open) : p.substr(open, close - open + 1);
        if (name == "{z}")
            z = true;
        else if (name == "{x}")
            x = true;
        else if (name == "{y}" || name == "{-y}")
            y = true;
        else {
            *error = "the address holds " + name + "; only {z}, {x}, {y} and {-y} are filled in";
            return false;
        }
    }
    if (!z || !x || !y) {
        *error = "the address must hold {z}, {x} and {y} (or {-y})";
        return false;
    }
    pattern = p;
    return true;
}

std::string TileUrl::of(int z, long long x, long long y) const
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        const std::size_t close = pattern[i] == '{' ? pattern.find('}', i) : std::string::npos;
        if (close == std::string::npos) {
            out += pattern[i++];
            continue;
        }
        const std::string name = pattern.substr(i, close - i + 1);
        out += name == "{z}"   ? std::to_string(z)
               : name == "{x}" ? std::to_string(x)
               : name == "{y}" ? std::to_string(y)
                               : std::to_string((1ll << z) - 1 - y);
        i = close + 1;
    }
    return out;
}

std::string TileUrl::host() const
{
    const std::size_t start = pattern.find("//") + 2;
    return pattern.substr(start, pattern.find('/', start) - start);
}
