#ifndef TESSEL_PACK_PROGRESSBAR_H
#define TESSEL_PACK_PROGRESSBAR_H

#include <cstdint>
#include <functional>

using Progress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// A progress bar on standard error, only when it is a terminal (null
// otherwise); a count of steps when the total is not known.
Progress progressBar(const char* what);
// Ends the bar's line.
void endProgress();

#endif
