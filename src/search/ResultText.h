#ifndef TESSEL_SEARCH_RESULTTEXT_H
#define TESSEL_SEARCH_RESULTTEXT_H

#include "SearchResult.h"

#include <string>

// How a result is told in a line, the same in the viewer and the toolbox.
namespace ResultText {

// "850 m", "4.2 km", "37 km".
std::string distance(double metres);
// "Carrer Major (Carrer Mayor), Andorra la Vella · street · 850 m NE"
std::string line(const SearchResult& r);
// The map level that shows a thing of this kind well.
int zoom(const std::string& kind);

} // namespace ResultText

#endif
