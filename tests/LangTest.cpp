#include "Lang.h"
#include "TestSupport.h"

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
    EXPECT_FALSE(lang.changed);

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

TEST_F(LangCatalogue, ListOffersReadableConfFiles)
{
    ConfParser settings("tessel.conf", 1);
    Lang lang("english.conf", &settings);
    ASSERT_TRUE(lang.scan());
    ASSERT_EQ(lang.languageFiles.size(), 2u);
    ASSERT_EQ(lang.languageNames.size(), 2u);
    const int czech = lang.languageFiles[0] == "czech.conf" ? 0 : 1;
    lang.load(czech);
    EXPECT_EQ(lang.value("save"), "Uložit");
    lang.load(-1);
    lang.load(2);
    EXPECT_EQ(lang.value("save"), "Uložit");
}
