#ifndef TESSEL_SEARCH_SPOOL_H
#define TESSEL_SEARCH_SPOOL_H

#include <cstdio>
#include <string>

// Records written to a nameless scratch file and read back in order: what
// a pass over a large input keeps for later without holding it in memory.
class Spool {
public:
    Spool() = default;
    ~Spool();
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    // Creates the file in `directory` and removes its name at once.
    bool open(const std::string& directory);
    bool write(const std::string& record);
    // Back to the first record, for reading.
    bool rewind();
    // The next record; false at the end.
    bool read(std::string* record);
    bool failed() const { return broken; }

private:
    std::FILE* file = nullptr;
    bool broken = false;
};

#endif
