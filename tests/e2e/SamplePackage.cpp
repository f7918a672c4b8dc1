// Writes the test package (tiles whose pixels name their tile) into
// maps/<name>/ under the working directory, for the end-to-end scripts.
// Usage: tessel_sample_package NAME CAPTION [packed]
#include "Packages.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s NAME CAPTION [packed]\n", argv[0]);
        return 2;
    }
    SDL_Init(0);
    writeSamplePackage(std::string("maps/") + argv[1] + "/", argv[2], argc > 3 && std::strcmp(argv[3], "packed") == 0);
    SDL_Quit();
    return 0;
}
