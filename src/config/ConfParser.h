#ifndef TESSEL_CONFPARSER_H
#define TESSEL_CONFPARSER_H

#include "ConfParameter.h"

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

// A key=value file held in memory in file order, comments and blank lines
// included, so that it can be written back as it was read.
//
// Limits of the format: a name holds at most 62 characters, a value or a
// comment at most 254. Longer text is cut at the limit and the rest of its
// line is dropped; the lines after it are read normally. A line without
// '=' is kept as written, like a comment.
class ConfParser {
public:
    // Larger files are not read (settings, descriptions and languages are
    // a few kilobytes); nor is anything but a regular file.
    static constexpr unsigned long long maxFileBytes = 1u << 20;

    static constexpr std::size_t maxName = 62;
    static constexpr std::size_t maxValue = 254;

    // Reads `file` at once. A file that cannot be opened gives no entries.
    // Nothing is ever written but by save().
    ConfParser(std::string file, int mode);
    // Reads a file this program itself writes (the settings, a package's
    // map.conf, an archive's position file) after recover().
    static ConfParser recovered(std::string file, int mode = 1);

    ConfParser(const ConfParser&) = default;
    ConfParser& operator=(const ConfParser&) = default;

    // Replaces the entries with those ConfReader reads from `in` (the
    // constructor feeds it the file, tests feed it strings).
    void read(std::istream& in);

    // Writes the entries to `file` when `changed` is set, crash-safely: the
    // new text is synced beside `file`, the old file keeps a second name
    // `file` + "~", the new one is renamed over `file` and the directory
    // synced, so `file` always names a complete file. Clears `changed`.
    // Returns true when nothing needed writing or the file was replaced;
    // false when any step failed, in which case `file` is left as it was.
    bool save();

    // When a save was interrupted and `file` is missing, brings it back
    // from the newer of `file` + ".new" and `file` + "~" (regular files
    // only; links are not followed) and reads it. Only for files the
    // program writes, never for those it only lists or reads. True when
    // the file came back; recoveredFrom then names the leftover taken.
    bool recover();
    // The leftover recover() would take; empty when there is none.
    std::string leftover() const;

    // Writes the entries in file format to `out`.
    void write(std::ostream& out) const;

    // Sets occurrence `index` (counted from 0) of `name` to `value`.
    // Returns false, changing nothing, when there are not that many entries
    // named `name`: keys are never added. Line breaks and other control
    // characters cannot be stored and become spaces; a value is cut to
    // maxValue bytes (at a character's start). Any other value reads back
    // exactly after save().
    bool changeValue(std::string name, std::string value, int index);
    bool changeValue(std::string name, int value, int index);
    // Sets the first entry named `name`, adding it at the end when there is
    // none (settings written for the first time).
    bool setValue(const std::string& name, const std::string& value);

    // Search primitive: the first entry named `name` from `from` on. Copies
    // its value into *out and returns the position after it; returns end()
    // and leaves *out alone when there is none.
    std::vector<ConfParameter>::const_iterator value(std::string name, std::string* out,
                                                     std::vector<ConfParameter>::const_iterator from) const;

    // Single lookups of the first entry named `name`. Each returns true when
    // the key exists and false otherwise; on false *out is left untouched.
    bool value(std::string name, std::string* out) const;
    bool stringValue(std::string name, std::string* out) const;
    bool intValue(std::string name, int* out) const;   // atoi rules: "12abc" is 12, "abc" is 0
    bool hexValue(std::string name, int* out) const;   // see Hex()
    bool boolValue(std::string name, bool* out) const; // true for "yes", "1", "on", "true" exactly
    // Copies the value and a NUL into out[0..size-1], cutting it to fit.
    // With size 0 nothing is written.
    bool charValue(std::string name, char* out, std::size_t size) const;

    // List lookups: every entry named `name` in file order. They return
    // false and leave *out untouched when there is none; otherwise they
    // replace its contents and return true.
    bool intValue(std::string name, std::vector<int>* out) const;
    bool hexValue(std::string name, std::vector<int>* out) const;
    bool stringValue(std::string name, std::vector<std::string>* out) const;
    bool boolValue(std::string name, std::vector<bool>* out) const;

    // What the caller tells the user after recover() brought the file back
    // ("<file> was missing; recovered from <leftover>"); empty otherwise.
    std::string recoveryNote() const;

    std::string file;
    std::string recoveredFrom;
    std::vector<ConfParameter> parameters;
    bool changed;
    int mode;

private:
    void readFile();
    template <typename T, typename Convert>
    bool listValue(const std::string& name, std::vector<T>* out, Convert convert) const;
};

#endif
