#include "Lang.h"
#include "Menu.h"
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
    Menu menu;
    menu.create(testScreen(), SDL_Rect{43, 90, 224, 80}, 18, testFonts().text, {}, {}, {}, {});
    const int page = menu.createMenu("Language", -1, 0);
    menu.addItem(page, 99, "stale", false);
    lang.list(&menu, page);
    ASSERT_EQ(lang.languageFiles.size(), 2u);
    const auto& items = menu.menus[static_cast<std::size_t>(page)].items;
    ASSERT_EQ(items.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(items[static_cast<std::size_t>(i)].id, i);
        EXPECT_EQ(items[static_cast<std::size_t>(i)].text, lang.languageNames[static_cast<std::size_t>(i)]);
    }
    const int czech = lang.languageFiles[0] == "czech.conf" ? 0 : 1;
    lang.load(czech);
    EXPECT_EQ(lang.value("save"), "Uložit");
    lang.load(-1);
    lang.load(2);
    EXPECT_EQ(lang.value("save"), "Uložit");
}
