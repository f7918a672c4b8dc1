#include "StyleColour.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool parseHex(const std::string& t, StyleColour* out)
{
    std::vector<int> d;
    for (std::size_t i = 1; i < t.size(); ++i) {
        const int v = hexDigit(t[i]);
        if (v < 0)
            return false;
        d.push_back(v);
    }
    double c[4] = {0, 0, 0, 1};
    if (d.size() == 3 || d.size() == 4) {
        for (std::size_t i = 0; i < d.size(); ++i)
            c[i] = (d[i] * 17) / 255.0;
    } else if (d.size() == 6 || d.size() == 8) {
        for (std::size_t i = 0; i < d.size() / 2; ++i)
            c[i] = (d[2 * i] * 16 + d[2 * i + 1]) / 255.0;
    } else {
        return false;
    }
    *out = {c[0], c[1], c[2], c[3]};
    return true;
}

// The numbers inside "name(a, b, c[, d])"; a percentage counts as a fraction.
bool arguments(const std::string& t, std::size_t open, std::vector<double>* args, std::vector<bool>* percent)
{
    if (t.back() != ')')
        return false;
    std::size_t i = open + 1;
    while (i < t.size() - 1) {
        const char* start = t.c_str() + i;
        char* end = nullptr;
        const double v = std::strtod(start, &end);
        if (end == start || !std::isfinite(v))
            return false;
        i += static_cast<std::size_t>(end - start);
        const bool pc = i < t.size() && t[i] == '%';
        if (pc)
            ++i;
        args->push_back(pc ? v / 100 : v);
        percent->push_back(pc);
        while (i < t.size() - 1 && (t[i] == ',' || t[i] == ' '))
            ++i;
    }
    return args->size() == 3 || args->size() == 4;
}

double clamp01(double v)
{
    return std::min(1.0, std::max(0.0, v));
}

StyleColour fromHsl(double h, double s, double l, double a)
{
    h = std::fmod(std::fmod(h, 360) + 360, 360) / 360;
    auto channel = [&](double t) {
        t = t - std::floor(t);
        const double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
        if (t < 1.0 / 6)
            return p + (q - p) * 6 * t;
        if (t < 0.5)
            return q;
        if (t < 2.0 / 3)
            return p + (q - p) * (2.0 / 3 - t) * 6;
        return p;
    };
    return {channel(h + 1.0 / 3), channel(h), channel(h - 1.0 / 3), a};
}

} // namespace

bool StyleColour::parse(const std::string& text, StyleColour* out)
{
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)) || (!t.empty() && t.back() != ' ' && t.back() != ','))
            t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (t.empty())
        return false;
    if (t[0] == '#')
        return parseHex(t, out);
    if (t == "white" || t == "black" || t == "transparent") {
        *out = t == "white" ? StyleColour{1, 1, 1, 1} : StyleColour{0, 0, 0, t == "black" ? 1.0 : 0.0};
        return true;
    }
    const std::size_t open = t.find('(');
    if (open == std::string::npos)
        return false;
    const std::string name = t.substr(0, open);
    std::vector<double> v;
    std::vector<bool> percent;
    if (!arguments(t, open, &v, &percent))
        return false;
    const double alpha = v.size() == 4 ? clamp01(v[3]) : 1;
    if (name == "rgb" || name == "rgba") {
        for (int i = 0; i < 3; ++i)
            v[i] = clamp01(percent[i] ? v[i] : v[i] / 255);
        *out = {v[0], v[1], v[2], alpha};
        return true;
    }
    if (name == "hsl" || name == "hsla") {
        *out = fromHsl(v[0], clamp01(v[1]), clamp01(v[2]), alpha);
        return true;
    }
    return false;
}

StyleColour StyleColour::dark() const
{
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    const double l = (hi + lo) / 2;
    double h = 0, s = 0;
    if (hi > lo) {
        const double d = hi - lo;
        s = l > 0.5 ? d / (2 - hi - lo) : d / (hi + lo);
        if (hi == r)
            h = (g - b) / d + (g < b ? 6 : 0);
        else if (hi == g)
            h = (b - r) / d + 2;
        else
            h = (r - g) / d + 4;
        h *= 60;
    }
    // Light paper becomes a dark one; strong colours keep some brightness.
    const double turned = 0.1 + 0.75 * (1 - l);
    return fromHsl(h, s * 0.7, turned, a);
}

StyleColour StyleColour::mix(const StyleColour& to, double t) const
{
    return {r + (to.r - r) * t, g + (to.g - g) * t, b + (to.b - b) * t, a + (to.a - a) * t};
}
