#include "Coordinates.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

const char* expected = "expected a latitude and a longitude, as 50.0875, 14.4213 or 50°05'15\"N 14°25'17\"E "
                       "or N 50 05.250 E 14 25.283";

// One half: an optional hemisphere letter, up to three numbers (degrees,
// minutes, seconds) and their marks.
struct Half {
    char hemisphere = 0;
    std::vector<std::string> numbers;
};

bool isMark(const std::string& s, std::size_t i, std::size_t* length)
{
    // °, º, ′, ″ in UTF-8, and the ASCII ' and ".
    static const char* marks[] = {"\xC2\xB0", "\xC2\xBA", "\xE2\x80\xB2", "\xE2\x80\xB3", "'", "\"", "\xE2\x80\x99",
                                  "\xE2\x80\x9D"};
    for (const char* m : marks) {
        const std::string mark = m;
        if (s.compare(i, mark.size(), mark) == 0) {
            *length = mark.size();
            return true;
        }
    }
    return false;
}

bool isDegreeMark(const std::string& s, std::size_t i)
{
    return s.compare(i, 2, "\xC2\xB0") == 0 || s.compare(i, 2, "\xC2\xBA") == 0;
}

bool hemisphereAt(const std::string& s, std::size_t i)
{
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
    if (c != 'N' && c != 'S' && c != 'E' && c != 'W')
        return false;
    // A letter alone, not the start of a word.
    return i + 1 >= s.size() || !std::isalpha(static_cast<unsigned char>(s[i + 1]));
}

// Splits the text into halves; false on a character that has no place.
bool split(const std::string& s, std::vector<Half>* halves)
{
    Half current;
    auto close = [&] {
        if (!current.numbers.empty() || current.hemisphere)
            halves->push_back(current);
        current = Half();
    };
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t markLength = 0;
        if (std::isdigit(c) || ((c == '-' || c == '+' || c == '.') && i + 1 < s.size() &&
                                std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            std::size_t j = i + 1;
            while (j < s.size() && (std::isdigit(static_cast<unsigned char>(s[j])) || s[j] == '.'))
                ++j;
            // A degree mark after a number that is not the first of its
            // half starts the next half ("50°05'15" 14°25'17"").
            if (j < s.size() && isDegreeMark(s, j) && !current.numbers.empty())
                close();
            if (current.numbers.size() == 3)
                return false;
            current.numbers.push_back(s.substr(i, j - i));
            i = j;
        } else if (hemisphereAt(s, i)) {
            const char h = static_cast<char>(std::toupper(c));
            if (current.numbers.empty() && !current.hemisphere) {
                current.hemisphere = h;
            } else if (!current.numbers.empty() && !current.hemisphere) {
                current.hemisphere = h;
                close();
            } else {
                close();
                current.hemisphere = h;
            }
            ++i;
        } else if (c == ',' || c == ';') {
            close();
            ++i;
        } else if (std::isspace(c)) {
            ++i;
        } else if (isMark(s, i, &markLength)) {
            i += markLength;
        } else {
            return false;
        }
    }
    close();
    return true;
}

// Degrees from up to three numbers; only the last may have a fraction.
bool degrees(const Half& half, double* out)
{
    if (half.numbers.empty())
        return false;
    double value = 0, scale = 1;
    for (std::size_t i = 0; i < half.numbers.size(); ++i) {
        const std::string& text = half.numbers[i];
        char* end = nullptr;
        const double n = std::strtod(text.c_str(), &end);
        if (*end || !std::isfinite(n))
            return false;
        const bool last = i + 1 == half.numbers.size();
        if (!last && text.find('.') != std::string::npos)
            return false;
        if (i > 0 && (n < 0 || n >= 60 || text[0] == '-' || text[0] == '+'))
            return false;
        value += std::fabs(n) / scale;
        scale *= 60;
    }
    const bool negative = half.numbers[0][0] == '-';
    if (negative && half.hemisphere)
        return false;
    *out = (negative || half.hemisphere == 'S' || half.hemisphere == 'W') ? -value : value;
    return true;
}

bool fromHalves(std::vector<Half> halves, double* lat, double* lon, std::string* why)
{
    // "50.0875 14.4213": two plain numbers in one half.
    if (halves.size() == 1 && !halves[0].hemisphere && halves[0].numbers.size() == 2) {
        Half second;
        second.numbers.push_back(halves[0].numbers[1]);
        halves[0].numbers.pop_back();
        halves.push_back(second);
    }
    if (halves.size() != 2)
        return false;
    const char a = halves[0].hemisphere, b = halves[1].hemisphere;
    const bool aLon = a == 'E' || a == 'W', bLat = b == 'N' || b == 'S';
    if ((aLon || bLat) && (a == 'N' || a == 'S' || b == 'E' || b == 'W'))
        return false;  // two latitudes or two longitudes
    if (aLon || bLat)
        std::swap(halves[0], halves[1]);
    double la = 0, lo = 0;
    if (!degrees(halves[0], &la) || !degrees(halves[1], &lo))
        return false;
    if (std::fabs(la) > 90 || std::fabs(lo) > 180) {
        *why = "expected a latitude from -90 to 90 and a longitude from -180 to 180";
        return false;
    }
    *lat = la;
    *lon = lo;
    return true;
}

} // namespace

namespace Coordinates {

bool looksLike(const std::string& text)
{
    if (text.compare(0, 4, "geo:") == 0 || text.compare(0, 4, "GEO:") == 0)
        return true;
    bool digit = false;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t markLength = 0;
        if (std::isdigit(c)) {
            digit = true;
            ++i;
        } else if (std::isspace(c) || c == ',' || c == ';' || c == '.' || c == '-' || c == '+' || hemisphereAt(text, i)) {
            ++i;
        } else if (isMark(text, i, &markLength)) {
            i += markLength;
        } else {
            return false;
        }
    }
    return digit;
}

bool parse(const std::string& text, double* lat, double* lon, std::string* why)
{
    std::string body = text;
    if (body.compare(0, 4, "geo:") == 0 || body.compare(0, 4, "GEO:") == 0) {
        // geo:LAT,LON[,ALT][;parameters]
        body = body.substr(4, body.find(';') == std::string::npos ? std::string::npos : body.find(';') - 4);
        const std::size_t first = body.find(',');
        const std::size_t second = first == std::string::npos ? first : body.find(',', first + 1);
        if (second != std::string::npos)
            body = body.substr(0, second);
        for (char c : body)
            if (!std::isdigit(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != ',' && c != '+') {
                *why = "expected geo:LATITUDE,LONGITUDE, as geo:50.0875,14.4213";
                return false;
            }
    }
    std::vector<Half> halves;
    why->clear();
    if (!split(body, &halves) || !fromHalves(halves, lat, lon, why)) {
        if (why->empty())
            *why = expected;
        return false;
    }
    return true;
}

} // namespace Coordinates
