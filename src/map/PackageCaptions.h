#ifndef TESSEL_PACKAGECAPTIONS_H
#define TESSEL_PACKAGECAPTIONS_H

#include <functional>
#include <string>
#include <vector>

// The order and the lines of the package list: by caption regardless of
// case, then by file name; captions that several packages share carry
// their file name, so that each line says which file it opens: after the
// caption where the line `fits`, else before it, where the line is not cut.
namespace PackageCaptions {

struct Entry {
    std::string caption;
    std::string fileName; // as listed in maps/
    std::string path;     // what opening it reads
};

void arrange(std::vector<Entry>* entries, const std::function<bool(const std::string&)>& fits = {});

} // namespace PackageCaptions

#endif
