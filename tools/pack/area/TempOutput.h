#ifndef TESSEL_PACK_TEMPOUTPUT_H
#define TESSEL_PACK_TEMPOUTPUT_H

#include <string>

// A file written under a hidden temporary name beside its final one and
// renamed over it only when complete (synced first); removed unless
// kept, so a failed or interrupted run leaves nothing. A run killed
// outright cannot remove its own: the next run into the same output
// removes those no running process holds (each run keeps a lock on its
// temporary file while it lives).
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
    void removeStale(const std::string& dir, const std::string& prefix) const;

    std::string finalPath, temporary;
    int lockFd = -1;
    bool kept = false;
};

#endif
