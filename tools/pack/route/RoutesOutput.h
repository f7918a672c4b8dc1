#ifndef TESSEL_PACK_ROUTESOUTPUT_H
#define TESSEL_PACK_ROUTESOUTPUT_H

#include <string>

// The routing folder being made: a fresh hidden folder beside the final
// name, filled, synced and renamed into place only when whole. A folder of
// routing data already there is replaced (it keeps the name `final`~ until
// the new one is in place); anything else there is left alone and refused.
// Removed with everything in it unless kept.
class RoutesOutput {
public:
    explicit RoutesOutput(const std::string& finalDir);
    ~RoutesOutput();
    RoutesOutput(const RoutesOutput&) = delete;
    RoutesOutput& operator=(const RoutesOutput&) = delete;

    bool create(std::string* why);
    const std::string& path() const { return temporary; }
    bool keep(std::string* why);

    // Removes the regular files of a folder (one level) and the folder.
    static void remove(const std::string& dir);

private:
    std::string finalDir, temporary;
    bool kept = false;
};

#endif
