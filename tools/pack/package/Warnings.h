#ifndef TESSEL_PACK_WARNINGS_H
#define TESSEL_PACK_WARNINGS_H

#include <map>
#include <ostream>
#include <string>

// Warnings of a run, one line each, but of any one kind only the first
// few: the rest are counted and summed up at the end.
class Warnings {
public:
    explicit Warnings(std::ostream& out, int shownPerKind = 5) : out(out), shownPerKind(shownPerKind) {}

    void add(const std::string& kind, const std::string& text);
    // "... and N more <kind>" for every kind that had more than were shown.
    void summary();
    int count(const std::string& kind) const;

private:
    std::ostream& out;
    int shownPerKind;
    std::map<std::string, int> counts;
};

#endif
