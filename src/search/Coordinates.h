#ifndef TESSEL_SEARCH_COORDINATES_H
#define TESSEL_SEARCH_COORDINATES_H

#include <string>

// A place typed as coordinates: "50.0875, 14.4213", "50°05'15"N 14°25'17"E",
// "N 50 05.250 E 14 25.283" or "geo:50.0875,14.4213".
namespace Coordinates {

// True with the point; false with *why, what was expected.
bool parse(const std::string& text, double* lat, double* lon, std::string* why);
// Whether a text is meant as coordinates rather than a name: digits,
// signs, separators, degree marks and hemisphere letters only.
bool looksLike(const std::string& text);

} // namespace Coordinates

#endif
