#ifndef TESSEL_PACK_TERRARIUMPNG_H
#define TESSEL_PACK_TERRARIUMPNG_H

#include <string>
#include <vector>

// A square Terrarium PNG of elevations (metres, rows from the north): each
// to 1/256 m; NaN (no data) transparent. Empty when every pixel is NaN.
namespace TerrariumPng {

std::string encode(const std::vector<float>& metres, int edge);

} // namespace TerrariumPng

#endif
