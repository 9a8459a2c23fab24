#include "app/ini.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using stampwell::testing::EntryCount;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

const std::string kSample =
    "\r\n; Config file\r\n;Language=Commented\r\n[Options]\r\n"
    "Language=English\r\n  path =  C:\\Data\\x  \r\nQuoted=\"  padded  \"\r\n"
    "Single='x'\r\nHalf=\"open\r\nEmpty=\r\nEquals=a=b\r\nNoEquals\r\n"
    "Dup=first\r\nDup=second\r\n\r\n; a comment\r\n[ Other ]\r\n"
    "Language=Deutsch\r\n[Options]\r\nLater=unseen\r\n";

struct ReadCase {
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> value;
    friend void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.section << "/" << c.key; }
};

class IniRead : public ::testing::TestWithParam<ReadCase> {};

// Names in any case, blanks trimmed, one pair of quotes taken off, the first
// of a key counts, a repeated section does not; every line end and a UTF-8
// byte-order mark; values whole, whatever their bytes.
TEST_P(IniRead, FollowsTheClassicProfileRules) {
    EXPECT_EQ(FindIniValue(GetParam().text, GetParam().section, GetParam().key), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniRead,
    ::testing::Values(
        ReadCase{kSample, "OPTIONS", "language", "English"},
        ReadCase{kSample, "Options", "Path", "C:\\Data\\x"},
        ReadCase{kSample, "Options", "Quoted", "  padded  "},
        ReadCase{kSample, "Options", "Single", "x"}, ReadCase{kSample, "Options", "Half", "\"open"},
        ReadCase{kSample, "Options", "Empty", ""}, ReadCase{kSample, "Options", "Equals", "a=b"},
        ReadCase{kSample, "Options", "Dup", "first"},
        ReadCase{kSample, " Other ", "Language", "Deutsch"},
        ReadCase{kSample, "Options", "NoEquals", std::nullopt},
        ReadCase{kSample, "Options", ";Language", std::nullopt},
        ReadCase{kSample, "Missing", "Language", std::nullopt},
        ReadCase{kSample, "Options", "Later", std::nullopt},
        ReadCase{"Language=x\n", "Options", "Language", std::nullopt},
        ReadCase{"[A]\nk=lf\n", "A", "k", "lf"}, ReadCase{"[A]\rk=cr\r", "A", "k", "cr"},
        ReadCase{"[A]\r\n\n\rk=crlf", "A", "k", "crlf"},
        ReadCase{"[A]\n\rk=lfcr\n", "A", "k", "lfcr"},
        ReadCase{"\xEF\xBB\xBF[A]\r\nk=bom\r\n", "A", "k", "bom"},
        ReadCase{"[Options]\nPath=" + std::string(5000, 'p'), "Options", "Path",
                 std::string(5000, 'p')},
        ReadCase{std::string("\xFF\xFE\0\x01\n[A]\nk=x\0y\n", 15), "A", "k",
                 std::string("x\0y", 3)}));

struct WriteCase {
    std::string text;
    const char* key;
    const char* value;
    std::string written;
    friend void PrintTo(const WriteCase& c, std::ostream* out) {
        *out << c.key << "=" << ::testing::PrintToString(c.value);
    }
};

class IniWrite : public ::testing::TestWithParam<WriteCase> {};

// One key's value changes in place; a missing key goes after its section's
// last key, a missing section at the end, in the text's own line ends. The
// value reads back exactly.
TEST_P(IniWrite, ChangesOnlyThatKeyAndReadsBack) {
    const WriteCase& c = GetParam();
    const std::string out = SetIniValue(c.text, "Options", c.key, c.value);
    EXPECT_EQ(out, c.written);
    EXPECT_EQ(FindIniValue(out, "Options", c.key), c.value);
}

std::string InSample(const std::string& from, const std::string& to) {
    std::string text = kSample;
    return text.replace(text.find(from), from.size(), to);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IniWrite,
    ::testing::Values(
        WriteCase{kSample, "PATH", "D:\\New", InSample("C:\\Data\\x  ", "D:\\New")},
        WriteCase{kSample, "New", "v", InSample("Dup=second\r\n", "Dup=second\r\nNew=v\r\n")},
        WriteCase{"[Options]\nA=1\n\n; next\n[Other]\nB=2\n", "New", "v",
                  "[Options]\nA=1\nNew=v\n\n; next\n[Other]\nB=2\n"},
        WriteCase{"[Options]\r\n[Other]\r\n", "New", "v", "[Options]\r\nNew=v\r\n[Other]\r\n"},
        WriteCase{"[Options]\nA=1", "New", "v", "[Options]\nA=1\nNew=v"},
        WriteCase{"[Options]\rA=1", "New", "v", "[Options]\rA=1\rNew=v"},
        WriteCase{"", "Language", "English", "[Options]\r\nLanguage=English\r\n"},
        WriteCase{"; c\n[A]\nk=1", "Language", "x", "; c\n[A]\nk=1\n[Options]\nLanguage=x\n"},
        WriteCase{"; c\r", "Language", "x", "; c\r[Options]\rLanguage=x\r"},
        WriteCase{"[Options]\r\nPath=x\r\n", "Path", "Holiday ",
                  "[Options]\r\nPath=\"Holiday \"\r\n"},
        WriteCase{"", "Path", " Deutsch ", "[Options]\r\nPath=\" Deutsch \"\r\n"},
        WriteCase{"", "Path", "\tx", "[Options]\r\nPath=\"\tx\"\r\n"},
        WriteCase{"", "Path", "\"q\"", "[Options]\r\nPath=\"\"q\"\"\r\n"},
        WriteCase{"", "Path", "'a", "[Options]\r\nPath=\"'a\"\r\n"},
        WriteCase{"", "Path", "b\"", "[Options]\r\nPath=\"b\"\"\r\n"},
        WriteCase{"", "Path", "\"", "[Options]\r\nPath=\"\"\"\r\n"},
        WriteCase{"", "Path", "a \"b\" c", "[Options]\r\nPath=a \"b\" c\r\n"},
        WriteCase{"[Options]\r\nPath=x\r\n", "Path", "", "[Options]\r\nPath=\r\n"}));

// Whatever follows the text in memory.
TEST(IniWrite, TheTextEndsWhereItsViewEnds) {
    EXPECT_EQ(SetIniValue(std::string_view("[Options]\nA=1\r", 13), "Options", "New", "v"),
              "[Options]\nA=1\nNew=v");
}

TEST(IniWrite, RefusesTextThatCannotBeALine) {
    for (const auto& [section, key, value] : {std::tuple{"Options", "Path", "a\nb"},
                                              {"Options", "Path", "a\rb"},
                                              {"Options", "a=b", "x"},
                                              {"Opt]ions", "Path", "x"},
                                              {"[Options", "Path", "x"},
                                              {"Options", "[Path", "x"},
                                              {"", "Path", "x"},
                                              {"Options", " ", "x"},
                                              {"Options", " ;Path", "x"}})
        EXPECT_FALSE(IsStorableIniText(section, key, value)) << section << key << value;
    EXPECT_TRUE(IsStorableIniText("Options", "Path", " C:\\[x]=y; z "));
}

TEST(IniFile, MissingFileGivesTheDefaultAndIsCreatedByAWrite) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    EXPECT_EQ(ReadIniValue(file, "Options", "Filter", "*.*"), "*.*");
    EXPECT_FALSE(WriteIniValue(file, "Options", "Filter", "*.txt").Failed());
    EXPECT_EQ(ReadBytes(file), "[Options]\r\nFilter=*.txt\r\n");
    EXPECT_EQ(ReadIniValue(file, "Options", "Filter", "*.*"), "*.txt");
    EXPECT_EQ(ReadIniValue(file, "Options", "Other", "none"), "none");
}

// Atomically, every other byte kept, no temporary file left; a file that is
// not UTF-8 is read as Windows-1252 and stored as UTF-8.
TEST(IniFile, WriteKeepsEveryOtherByte) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    WriteBytes(file, kSample);
    EXPECT_EQ(ReadIniValue(file, "Options", "Language", ""), "English");
    EXPECT_FALSE(WriteIniValue(file, "Options", "Language", "Deutsch").Failed());
    EXPECT_EQ(ReadBytes(file), InSample("Language=English", "Language=Deutsch"));
    EXPECT_EQ(ReadIniValue(file, "Options", "Language", ""), "Deutsch");
    EXPECT_EQ(EntryCount(temp.Root()), 1u) << "no temporary file is left";
    WriteBytes(file, "; f\xFCr\r\n[Options]\r\nPath=C:\\M\xFCller\r\n");
    EXPECT_EQ(ReadIniValue(file, "Options", "Path", ""), "C:\\M\xC3\xBCller");
    EXPECT_FALSE(WriteIniValue(file, "Options", "Filter", "*.txt").Failed());
    EXPECT_EQ(ReadBytes(file),
              "; f\xC3\xBCr\r\n[Options]\r\nPath=C:\\M\xC3\xBCller\r\nFilter=*.txt\r\n");
}

TEST(IniFile, RefusedWritesLeaveEverythingAlone) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    WriteBytes(file, kSample);
    const auto error = WriteIniValue(file, "Options", "Path", "two\nlines");
    EXPECT_EQ(error.code, kIniUnstorableText);
    EXPECT_FALSE(error.text.empty());
    EXPECT_EQ(ReadBytes(file), kSample);
    EXPECT_TRUE(WriteIniValue(temp.Path("missing/Stampwell.ini"), "Options", "A", "1").Failed());
    EXPECT_EQ(EntryCount(temp.Root()), 1u);
}

} // namespace
