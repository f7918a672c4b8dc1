#include "Lang.h"
#include "LanguageList.h"
#include "TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

class LangCatalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        mkdir("lang", 0755);
        writeFile("lang/english.conf", "__language=English\nsave=Save\nsave=Second\nempty=\nyes=Yes\n");
        writeFile("lang/czech.conf", "__language=Čeština\nsave=Uložit\n");
        writeFile("lang/notes.txt", "__language=Not a language\n");
        writeFile("lang/blank.conf", "");
        writeFile("tessel.conf", "language=english.conf\n");
    }

    TempDir dir;
};

TEST_F(LangCatalogue, LookupsAndPlaceholders)
{
    ConfParser settings("tessel.conf", 1);
    Lang lang("english.conf", &settings);
    EXPECT_EQ(lang.languageName, "English");
    EXPECT_EQ(lang.value("save"), "Save");
    EXPECT_EQ(lang.value("empty"), "lng{empty}");
    EXPECT_EQ(lang.value("zoom_in"), "lng{zoom_in}");
    EXPECT_FALSE(settings.changed) << "the first load records nothing";
}

TEST_F(LangCatalogue, SwitchingRecordsTheChoice)
{
    ConfParser settings("tessel.conf", 1);
    Lang lang("english.conf", &settings);
    lang.load(std::string("czech.conf"));
    EXPECT_EQ(lang.value("save"), "Uložit");
    EXPECT_EQ(lang.languageName, "Čeština");
    std::string stored;
    settings.value("language", &stored);
    EXPECT_EQ(stored, "czech.conf");

    lang.load(std::string("missing.conf"));
    EXPECT_EQ(lang.value("save"), "lng{save}");
    EXPECT_EQ(lang.languageName, "Čeština") << "keeps the last name";
}

TEST_F(LangCatalogue, EmptyStartDoesNotRecordTheFirstChoice)
{
    ConfParser settings("tessel.conf", 1);
    Lang lang("", &settings);
    EXPECT_EQ(lang.value("save"), "lng{save}");
    lang.load(std::string("czech.conf"));
    EXPECT_EQ(lang.value("save"), "Uložit");
    EXPECT_FALSE(settings.changed);
}

TEST_F(LangCatalogue, TheLanguagePageListsReadableConfFiles)
{
    LanguageList list;
    ASSERT_TRUE(list.scan(Lang::directory));
    std::vector<std::string> files = list.files;
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"czech.conf", "english.conf"}));
    const std::size_t czech = list.files[0] == "czech.conf" ? 0 : 1;
    EXPECT_EQ(list.names[czech], "Čeština");
}
