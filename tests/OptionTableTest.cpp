#include "ConfParser.h"
#include "MenuLine.h"
#include "OptionTable.h"
#include "Settings.h"

#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>

// A new row must not take a line id the options page already uses, and its
// texts must be in every language.
TEST(OptionTable, LinesAreDistinctAndEveryTextIsInEveryLanguage)
{
    std::set<int> lines = {MenuLine::gps};
    std::set<std::string> keys, texts;
    for (const OptionRow& row : OptionTable::rows()) {
        EXPECT_TRUE(keys.insert(row.key).second) << row.key;
        if (!row.offered())
            continue;
        EXPECT_TRUE(lines.insert(row.line).second) << row.key << " reuses line " << row.line;
        texts.insert(row.textId);
        if (row.kind == OptionRow::Kind::flag)
            texts.insert({row.yesText, row.noText});
        if (row.zeroText)
            texts.insert(row.zeroText);
        texts.insert(row.wordTexts.begin(), row.wordTexts.end());
    }
    for (const char* file : {"english.conf", "czech.conf", "german.conf"}) {
        const ConfParser lang(std::string(TESSEL_SOURCE_DIR) + "/lang/" + file, 1);
        for (const std::string& id : texts) {
            std::string text;
            EXPECT_TRUE(lang.value(id, &text) && !text.empty()) << file << " lacks " << id;
        }
    }
}

// A choice is stored as its word; a word the row does not know keeps the value.
TEST(OptionTable, NamedChoicesAreReadByTheirWords)
{
    ConfParser conf("", 1);
    std::istringstream text("label_language=english\n");
    conf.read(text);
    Settings s;
    s.readFrom(conf);
    EXPECT_EQ(2, s.labelLanguage);
    std::istringstream odd("label_language=2\n");
    conf.read(odd);
    s.readFrom(conf);
    EXPECT_EQ(2, s.labelLanguage);
}
