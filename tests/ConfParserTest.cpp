#include "ConfParser.h"
#include "Hex.h"
#include "TestSupport.h"

#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A parser over `text` with no file behind it.
ConfParser parse(const std::string& text)
{
    ConfParser conf("/nonexistent/none.conf", 1);
    std::istringstream in(text);
    conf.read(in);
    return conf;
}

std::string written(const ConfParser& conf)
{
    std::ostringstream out;
    conf.write(out);
    return out.str();
}

void expectEntry(const ConfParser& conf, std::size_t i, const std::string& name, const std::string& value)
{
    ASSERT_LT(i, conf.parameters.size());
    EXPECT_EQ(conf.parameters[i].name, name) << "entry " << i;
    EXPECT_EQ(conf.parameters[i].value, value) << "entry " << i;
}

} // namespace

TEST(ConfParserRead, RepeatedKeysFormListsAndOccurrences)
{
    ConfParser conf = parse("a=1\na=2\na=3");
    int single = -1;
    ASSERT_TRUE(conf.intValue("a", &single));
    EXPECT_EQ(single, 1);
    std::vector<int> all{9};
    ASSERT_TRUE(conf.intValue("a", &all));
    EXPECT_EQ(all, (std::vector<int>{1, 2, 3}));

    EXPECT_TRUE(conf.changeValue("a", 7, 1));
    EXPECT_EQ(conf.parameters[1].value, "7");
    EXPECT_TRUE(conf.changed);
    EXPECT_FALSE(conf.changeValue("a", 8, 3));
    EXPECT_FALSE(conf.changeValue("b", 8, 0));
    EXPECT_EQ(written(conf), "a=1\na=7\na=3\n");

    std::vector<std::string> missing{"kept"};
    EXPECT_FALSE(conf.stringValue("b", &missing));
    EXPECT_EQ(missing, std::vector<std::string>{"kept"});
}

TEST(ConfParserRead, AnyStorableValueRoundTrips)
{
    const std::string longest = "\"" + std::string(ConfParser::maxValue - 2, 'x') + "\"";
    const std::vector<std::string> values = {
        "My \"big\" map", "\"quoted\"", "\" both \"", " both ", "\"", "\"\"", "a\"", "\"a", "; not a comment",
        "# nor this", "a=b=c", "Zürich – Černá Hora", "", " ", "tab\tinside", longest, std::string(ConfParser::maxValue, ' ')};
    for (const std::string& value : values) {
        ConfParser conf = parse("before=1\nk=old\nafter=2\n");
        ASSERT_TRUE(conf.changeValue("k", value, 0));
        const std::string expected = value == "tab\tinside" ? "tab inside" : value;
        ConfParser again = parse(written(conf));
        ASSERT_EQ(again.parameters.size(), 3u) << value;
        expectEntry(again, 1, "k", expected);
        expectEntry(again, 2, "after", "2");
    }
}

TEST(ConfParserRead, ControlCharactersCannotInjectKeys)
{
    ConfParser conf = parse("caption=x\napi=google\n");
    ASSERT_TRUE(conf.changeValue("caption", "Alps\nSouth\r\napi=seznam\x7f", 0));
    EXPECT_EQ(conf.parameters[0].value, "Alps South  api=seznam ");
    ConfParser again = parse(written(conf));
    ASSERT_EQ(again.parameters.size(), 2u);
    expectEntry(again, 1, "api", "google");

    // Too long: cut at a character's start, never inside "é".
    ASSERT_TRUE(conf.changeValue("caption", std::string(ConfParser::maxValue - 1, 'a') + "\xC3\xA9", 0));
    EXPECT_EQ(conf.parameters[0].value, std::string(ConfParser::maxValue - 1, 'a'));
}

TEST(ConfParserRead, SetValueAddsAMissingKey)
{
    ConfParser conf = parse("# settings\nfps=30\n");
    EXPECT_TRUE(conf.setValue("fps", "60"));
    EXPECT_TRUE(conf.setValue("language", "de.conf"));
    EXPECT_TRUE(conf.changed);
    EXPECT_EQ(written(conf), "# settings\nfps=60\nlanguage=de.conf\n");
}

// Lines of every shape as read, as a save writes them, and read back.
TEST(ConfParserRead, LinesOfEveryShapeReadAndWrittenBack)
{
    const struct {
        const char* what;
        std::string text;
        std::vector<std::pair<std::string, std::string>> entries;
        const char* written; // nullptr: not checked
    } cases[] = {
        {"names and values kept as written; a value's trailing blanks dropped", "key = value\nk=  ab\nt=ab  \t \r\n",
         {{"key ", " value"}, {"k", "  ab"}, {"t", "ab"}}, "key =\" value\"\nk=\"  ab\"\nt=ab\n"},
        {"comments, blank lines and indentation", "  # note\n\n\t; other\n   \nx=1\n  y=2\n",
         {{"", "# note"}, {"", ""}, {"", "; other"}, {"", ""}, {"x", "1"}, {"y", "2"}}, "# note\n\n; other\n\nx=1\ny=2\n"},
        {"quotes", "k=\"a b\"\nq=\"ab\" trailing words\ne=\"\"\nm=\"two\nlines\"\nu=say \"hi\" ; # not a comment\n",
         {{"k", "a b"}, {"q", "ab"}, {"e", ""}, {"m", "two\nlines"}, {"u", "say \"hi\" ; # not a comment"}},
         "k=\"a b\"\nq=ab\ne=\nm=\"two\nlines\"\nu=\"say \"hi\" ; # not a comment\"\n"},
        {"CR LF line ends", "# c\r\na=1\r\n\r\nb=\"x y\"\r\nc=\r\n",
         {{"", "# c\r"}, {"a", "1"}, {"", ""}, {"b", "x y"}, {"c", ""}}, "# c\r\na=1\n\nb=\"x y\"\nc=\n"},
        // A UTF-8 signature is dropped (see SaveKeepsTheOldFileAsBackup);
        // a first byte of 0xEF that begins none is part of the text.
        {"0xEF that is no signature", "\xEFk=v\n", {{"\xEFk", "v"}}, nullptr},
        {"a signature cut short", "\xEF\xBB", {{"", "\xEF\xBB"}}, nullptr},
        {"lines starting with '=' make no entry", "=x\na=1\n=\nb=2", {{"a", "1"}, {"b", "2"}}, nullptr},
        {"an unterminated quote runs to the end", "k=\"open\nnext=1", {{"k", "open\nnext=1"}}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ConfParser conf = parse(c.text);
        if (c.written) {
            EXPECT_EQ(written(conf), c.written);
        }
        // What was read, and the same again from what a save writes.
        for (const ConfParser& read : {conf, parse(written(conf))}) {
            ASSERT_EQ(read.parameters.size(), c.entries.size());
            for (std::size_t i = 0; i < c.entries.size(); ++i)
                expectEntry(read, i, c.entries[i].first, c.entries[i].second);
        }
    }
}

// A line without '=' once swallowed the next key ("abc" then "pos_x=1"
// read as one entry, and a save wrote pos_x twice).
TEST(ConfParserRead, LineWithoutEqualsIsKeptAndNeverJoinsTheNext)
{
    ConfParser conf = parse("abc\npos_x=1\nend \r\n" + std::string(300, 'w') + "\nlast");
    ASSERT_EQ(conf.parameters.size(), 5u);
    expectEntry(conf, 0, "", "abc");
    expectEntry(conf, 1, "pos_x", "1");
    expectEntry(conf, 2, "", "end");
    expectEntry(conf, 3, "", std::string(254, 'w'));
    expectEntry(conf, 4, "", "last");
    ASSERT_TRUE(conf.setValue("pos_x", "2"));
    EXPECT_EQ(written(conf), "abc\npos_x=2\nend\n" + std::string(254, 'w') + "\nlast\n");
    ConfParser emptyValue = parse("a=\nb=1");
    expectEntry(emptyValue, 0, "a", "");
    expectEntry(emptyValue, 1, "b", "1");
}

TEST(ConfParserRead, TextBeyondTheLimitsIsCutAndLaterLinesSurvive)
{
    const std::string longName(70, 'n');
    const std::string longValue(300, 'v');
    const std::string longComment = "#" + std::string(300, 'c');
    const std::string longQuoted = "\"" + std::string(300, 'q') + "\" tail";
    const std::string longTail = "\"ab\"" + std::string(100, 't');
    ConfParser conf = parse(longName + "=1\nafter1=a\nk=" + longValue + "\nafter2=b\n" + longComment +
                            "\nafter3=c\nq=" + longQuoted + "\nafter4=d\nt=" + longTail + "\nafter5=e\n");
    ASSERT_EQ(conf.parameters.size(), 10u);
    expectEntry(conf, 0, std::string(62, 'n'), "");
    expectEntry(conf, 1, "after1", "a");
    expectEntry(conf, 2, "k", std::string(254, 'v'));
    expectEntry(conf, 3, "after2", "b");
    expectEntry(conf, 4, "", "#" + std::string(253, 'c'));
    expectEntry(conf, 5, "after3", "c");
    expectEntry(conf, 6, "q", std::string(254, 'q'));
    expectEntry(conf, 7, "after4", "d");
    expectEntry(conf, 8, "t", "ab");
    expectEntry(conf, 9, "after5", "e");
}

TEST(ConfParserLookup, TypedConversions)
{
    ConfParser conf = parse("n=12abc\nz=abc\nneg= -5\nb1=yes\nb2=Yes\nb3=on\nb4=\nbl=true\nh=0xff\nbl=no\nbl=1\n");
    for (const auto& c : std::vector<std::pair<const char*, int>>{{"n", 12}, {"z", 0}, {"neg", -5}}) {
        int n = -1;
        EXPECT_TRUE(conf.intValue(c.first, &n));
        EXPECT_EQ(n, c.second) << c.first;
    }
    for (const auto& c : std::vector<std::pair<const char*, bool>>{{"b1", true}, {"b2", false}, {"b3", true}, {"b4", false}}) {
        bool b = !c.second;
        EXPECT_TRUE(conf.boolValue(c.first, &b));
        EXPECT_EQ(b, c.second) << c.first;
    }
    bool b = true;
    EXPECT_FALSE(conf.boolValue("missing", &b));
    EXPECT_TRUE(b);
    int h = 0;
    EXPECT_TRUE(conf.hexValue("h", &h));
    EXPECT_EQ(h, 255);
    std::vector<bool> flags;
    EXPECT_TRUE(conf.boolValue("bl", &flags));
    EXPECT_EQ(flags, (std::vector<bool>{true, false, true}));
    std::vector<int> hexes;
    EXPECT_TRUE(conf.hexValue("h", &hexes));
    EXPECT_EQ(hexes, std::vector<int>{255});
}

TEST(ConfParserLookup, CharValueNeverWritesPastTheBuffer)
{
    ConfParser conf = parse("k=abcdefgh\n");
    char buffer[6];
    std::memset(buffer, 'X', sizeof buffer);
    ASSERT_TRUE(conf.charValue("k", buffer, 4));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(buffer[4], 'X');
    ASSERT_TRUE(conf.charValue("k", buffer, 0));
    EXPECT_STREQ(buffer, "abc");
    char big[32];
    ASSERT_TRUE(conf.charValue("k", big, sizeof big));
    EXPECT_STREQ(big, "abcdefgh");
    EXPECT_FALSE(conf.charValue("missing", big, sizeof big));
    EXPECT_STREQ(big, "abcdefgh");
}

TEST(Hex, Examples)
{
    EXPECT_EQ(Hex(""), 0);
    EXPECT_EQ(Hex("ff"), 255);
    EXPECT_EQ(Hex("0xff"), 255);
    EXPECT_EQ(Hex("#1f"), 31);
    EXPECT_EQ(Hex("00ff00"), 65280);
    EXPECT_EQ(Hex("FF"), 0);
    EXPECT_EQ(Hex("1F"), 1);
    EXPECT_EQ(Hex("12x34"), 0x12 + 0x34);
    EXPECT_EQ(Hex("123456789"), 0x23456789);
    EXPECT_EQ(Hex("ffffffff"), -1);
    EXPECT_EQ(Hex("80000000"), static_cast<int>(0x80000000u - 4294967296ll));
    EXPECT_EQ(Hex("7fffffff"), 0x7fffffff);
}

class ConfParserFile : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(ConfParserFile, OnlyAChangeIsWritten)
{
    ConfParser none(dir.path("none.conf"), 1);
    EXPECT_TRUE(none.parameters.empty());
    EXPECT_FALSE(none.changeValue("a", "1", 0));
    EXPECT_TRUE(none.save());
    EXPECT_FALSE(fileExists(dir.path("none.conf")));

    writeFile("t.conf", "a=1\n");
    ConfParser conf("t.conf", 1);
    EXPECT_TRUE(conf.save());
    EXPECT_FALSE(fileExists("t.conf~"));
    EXPECT_TRUE(conf.changeValue("a", 1, 0)) << "the same value still counts as a change";
    EXPECT_TRUE(conf.save());
    EXPECT_TRUE(fileExists("t.conf~"));
}

TEST_F(ConfParserFile, SaveKeepsTheOldFileAsBackup)
{
    writeFile("t.conf", "\xEF\xBB\xBF# c\r\n  a=1\r\nb=\"x\"  \n");
    {
        ConfParser conf("t.conf", 1);
        ASSERT_TRUE(conf.changeValue("a", "two words", 0));
        ASSERT_TRUE(conf.save());
        EXPECT_EQ(readFile("t.conf"), "# c\r\na=\"two words\"\nb=x\n");
        EXPECT_EQ(readFile("t.conf~"), "\xEF\xBB\xBF# c\r\n  a=1\r\nb=\"x\"  \n");
        ASSERT_TRUE(conf.changeValue("b", "y", 0));
        ASSERT_TRUE(conf.save()); // moves the first result to the backup
        EXPECT_FALSE(conf.changed) << "a save clears the change";
    } // so the end of the run writes nothing more
    EXPECT_EQ(readFile("t.conf"), "# c\r\na=\"two words\"\nb=y\n");
    EXPECT_EQ(readFile("t.conf~"), "# c\r\na=\"two words\"\nb=x\n");
    EXPECT_FALSE(fileExists("t.conf.new"));
}

TEST_F(ConfParserFile, FailedWriteLeavesTheOriginal)
{
    writeFile("t.conf", "a=1\n");
    ConfParser conf("t.conf", 1);
    ASSERT_TRUE(conf.changeValue("a", "2", 0));
    // Something in the way of the temporary file.
    ASSERT_EQ(mkdir("t.conf.new", 0755), 0);
    EXPECT_FALSE(conf.save());
    EXPECT_EQ(readFile("t.conf"), "a=1\n");
    EXPECT_FALSE(fileExists("t.conf~"));
    EXPECT_EQ(conf.parameters[0].value, "2");
    EXPECT_TRUE(conf.changed);
    ASSERT_EQ(rmdir("t.conf.new"), 0);
    EXPECT_TRUE(conf.save());
    EXPECT_EQ(readFile("t.conf"), "a=2\n");
}

TEST_F(ConfParserFile, ReadOnlyDirectoryLeavesTheOriginal)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    ASSERT_EQ(mkdir("ro", 0755), 0);
    writeFile("ro/t.conf", "a=1\n");
    ConfParser conf("ro/t.conf", 1);
    ASSERT_TRUE(conf.changeValue("a", "2", 0));
    ASSERT_EQ(chmod("ro", 0555), 0);
    EXPECT_FALSE(conf.save());
    EXPECT_EQ(readFile("ro/t.conf"), "a=1\n");
    chmod("ro", 0755);
}

TEST_F(ConfParserFile, BlockedBackupLeavesTheOriginal)
{
    writeFile("t.conf", "a=1\n");
    // A non-empty directory under the backup name cannot be replaced.
    ASSERT_EQ(mkdir("t.conf~", 0755), 0);
    writeFile("t.conf~/keep", "x");
    ConfParser conf("t.conf", 1);
    ASSERT_TRUE(conf.changeValue("a", "2", 0));
    EXPECT_FALSE(conf.save());
    EXPECT_EQ(readFile("t.conf"), "a=1\n");
    EXPECT_FALSE(fileExists("t.conf.new"));
}

TEST_F(ConfParserFile, AMissingFileComesBackFromTheNewestLeftOver)
{
    // What an interrupted save of an older version left: no file, its backup
    // and the finished new text.
    writeFile("m.conf~", "pos_x=1\n");
    writeFile("m.conf.new", "pos_x=2\n");
    struct timespec old[2] = {{1000, 0}, {1000, 0}};
    utimensat(AT_FDCWD, "m.conf~", old, 0);
    ConfParser conf = ConfParser::recovered("m.conf");
    EXPECT_EQ(readFile("m.conf"), "pos_x=2\n");
    EXPECT_EQ(conf.recoveryNote(), "m.conf was missing; recovered from m.conf.new");
    std::string value;
    ASSERT_TRUE(conf.value("pos_x", &value));
    EXPECT_EQ(value, "2");

    writeFile("n.conf~", "pos_x=3\n");
    ConfParser other = ConfParser::recovered("n.conf");
    EXPECT_EQ(readFile("n.conf"), "pos_x=3\n");
}

TEST_F(ConfParserFile, OnlyRegularFilesOfASaneSizeAreRead)
{
    ASSERT_EQ(mkfifo("fifo.conf", 0644), 0);
    ConfParser fifo("fifo.conf", 1); // would wait for a writer forever
    EXPECT_TRUE(fifo.parameters.empty());
    writeFile("big.conf", "a=1\n" + std::string(ConfParser::maxFileBytes, '#'));
    ConfParser big("big.conf", 1);
    EXPECT_TRUE(big.parameters.empty());
    ASSERT_EQ(symlink("/dev/zero", "zero.conf"), 0);
    ConfParser zero("zero.conf", 1);
    EXPECT_TRUE(zero.parameters.empty());
}
