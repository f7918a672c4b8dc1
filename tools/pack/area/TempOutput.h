#ifndef TESSEL_PACK_TEMPOUTPUT_H
#define TESSEL_PACK_TEMPOUTPUT_H

#include <string>

// A file written under a hidden temporary name beside its final one and
// renamed over it only when complete (synced first); removed unless
// kept, so a failed or interrupted run leaves nothing.
class TempOutput {
public:
    explicit TempOutput(const std::string& finalPath);
    ~TempOutput();
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;

    // Creates the temporary file; false with *error.
    bool create(std::string* error);
    const std::string& path() const { return temporary; }
    // Syncs it, renames it to the final name and syncs the directory.
    bool keep(std::string* error);

private:
    std::string finalPath, temporary;
    bool kept = false;
};

#endif
