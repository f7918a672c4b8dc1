#include "ProgressBar.h"

#include <cstdio>
#include <unistd.h>

Progress progressBar(const char* what)
{
    if (!isatty(2))
        return nullptr;
    return [what](std::uint64_t done, std::uint64_t total) {
        if (total > 0) {
            const int width = 30, filled = static_cast<int>(width * done / total);
            std::fprintf(stderr, "\r%s [%.*s%*s] %llu/%llu", what, filled, "##############################",
                         width - filled, "", static_cast<unsigned long long>(done),
                         static_cast<unsigned long long>(total));
        } else {
            std::fprintf(stderr, "\r%s: %llu steps", what, static_cast<unsigned long long>(done));
        }
        std::fflush(stderr);
    };
}

void endProgress()
{
    if (isatty(2))
        std::fprintf(stderr, "\n");
}
