// For scripts/kill-save.sh: "save FILE" rewrites FILE's "pos_x" again and
// again until killed; "check FILE" exits 0 when FILE is whole (every key it
// began with is there and "pos_x" holds a number written by the loop).
#include "ConfParser.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char* argv[])
{
    if (argc != 3)
        return 2;
    if (std::strcmp(argv[1], "save") == 0) {
        ConfParser conf(argv[2], 1);
        for (int i = 0;; ++i) {
            conf.changeValue("pos_x", i, 0);
            if (!conf.save())
                return 1;
        }
    }
    ConfParser conf(argv[2], 1);
    std::string x, caption;
    const bool whole = conf.parameters.size() == 14 && conf.value("pos_x", &x) && !x.empty() &&
                       conf.value("caption", &caption) && caption == "Kill \"me\" softly";
    if (!whole)
        std::fprintf(stderr, "%s: %zu entries, pos_x '%s'\n", argv[2], conf.parameters.size(), x.c_str());
    return whole ? 0 : 1;
}
