#ifndef TESSEL_OPTIONROW_H
#define TESSEL_OPTIONROW_H

#include <string>
#include <vector>

struct CommandParts;
struct Settings;

// One setting of "tessel.conf": how it is read into `Settings`, the line of
// the options page and the page of values behind it, and what a new value
// does at once. A row without a text is read but not offered on the page.
struct OptionRow {
    enum class Kind { flag, number, text, language };

    const char* key = "";
    const char* textId = nullptr;
    Kind kind = Kind::flag;
    int line = 0; // the options page's line id

    // flag: the value lines' ids (no is yes + 1), the words stored and the
    // texts shown for them; `keepWord` leaves the field as it was.
    bool Settings::*flag = nullptr;
    int yesLine = 0;
    const char* yesWord = "yes";
    const char* noWord = "no";
    const char* yesText = "yes";
    const char* noText = "no";
    const char* keepWord = nullptr;

    // number: the field, the range a file's value is kept to, the values
    // offered (each its own line id) and how they read.
    int Settings::*number = nullptr;
    int low = 0, high = 0;
    std::vector<int> choices;
    const char* unit = "";
    const char* zeroText = nullptr;
    // A number that names a choice: the words stored for 0, 1, ... and the
    // text ids shown for them.
    std::vector<const char*> words;
    std::vector<const char*> wordTexts;

    // text and language: the field.
    std::string Settings::*text = nullptr;

    // What a value chosen on the page does besides setting the field.
    void (*apply)(const CommandParts& parts, int value) = nullptr;

    bool offered() const { return textId != nullptr; }
};

#endif
