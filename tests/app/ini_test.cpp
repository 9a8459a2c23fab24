#include "app/ini.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

const std::string kSample =
    "\r\n; Config file\r\n;Language=Commented\r\n[Options]\r\nLanguage=English\r\n"
    "  path =  C:\\Data\\x  \r\nSingle='x'\r\nEquals=a=b\r\nNoEquals\r\nDup=first\r\n"
    "Dup=second\r\n\r\n; a comment\r\n[ Other ]\r\nLanguage=Deutsch\r\n"
    "[Options]\r\nLater=unseen\r\n";

// Names in any case, blanks trimmed, one pair of quotes taken off, the first
// of a key counts, a repeated section does not; every line end and a UTF-8
// byte-order mark.
TEST(IniRead, FollowsTheClassicProfileRules) {
    const struct {
        std::string text;
        const char* section;
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {kSample, "OPTIONS", "language", "English"},
        {kSample, "Options", "Single", "x"},
        {kSample, "Options", "Equals", "a=b"},
        {kSample, "Options", "Dup", "first"},
        {kSample, " Other ", "Language", "Deutsch"},
        {kSample, "Options", ";Language", std::nullopt},
        {kSample, "Options", "Later", std::nullopt},
        {"[A]\r\n\n\rk=crlf", "A", "k", "crlf"},
        {"[A]\n\rk=lfcr\n", "A", "k", "lfcr"},
        {"\xEF\xBB\xBF[A]\r\nk=bom\r\n", "A", "k", "bom"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindIniValue(c.text, c.section, c.key), c.value) << c.section << "/" << c.key;
}

std::string InSample(const std::string& from, const std::string& to) {
    std::string text = kSample;
    return text.replace(text.find(from), from.size(), to);
}

// One key's value changes in place; a missing key goes after its section's
// last key, a missing section at the end, in the text's own line ends. A value
// with a blank or quote at an edge is quoted, so that it reads back exactly.
TEST(IniWrite, ChangesOnlyThatKeyAndReadsBack) {
    const struct {
        std::string text;
        const char* key;
        const char* value;
        std::string written;
    } cases[] = {
        {kSample, "PATH", "D:\\New", InSample("C:\\Data\\x  ", "D:\\New")},
        {kSample, "New", "v", InSample("Dup=second\r\n", "Dup=second\r\nNew=v\r\n")},
        {"[Options]\r\n[Other]\r\n", "New", "v", "[Options]\r\nNew=v\r\n[Other]\r\n"},
        {"[Options]\nA=1", "New", "v", "[Options]\nA=1\nNew=v"},
        {"", "Language", "English", "[Options]\r\nLanguage=English\r\n"},
        {"; c\n[A]\nk=1", "Language", "x", "; c\n[A]\nk=1\n[Options]\nLanguage=x\n"},
        {"; c\r", "Language", "x", "; c\r[Options]\rLanguage=x\r"},
        {"[Options]\r\nPath=x\r\n", "Path", "Holiday ", "[Options]\r\nPath=\"Holiday \"\r\n"},
        {"", "Path", "\tx", "[Options]\r\nPath=\"\tx\"\r\n"},
        {"[Options]\r\nPath=x\r\n", "Path", "", "[Options]\r\nPath=\r\n"},
    };
    for (const auto& c : cases) {
        const std::string out = SetIniValue(c.text, "Options", c.key, c.value);
        EXPECT_EQ(out, c.written);
        EXPECT_EQ(FindIniValue(out, "Options", c.key), c.value);
    }
    // Whatever follows the text in memory.
    EXPECT_EQ(SetIniValue(std::string_view("[Options]\nA=1\r", 13), "Options", "New", "v"),
              "[Options]\nA=1\nNew=v");
}

TEST(IniWrite, RefusesTextThatCannotBeALine) {
    for (const auto& [section, key, value] : {std::tuple{"Options", "Path", "a\nb"},
                                              {"Options", "a=b", "x"},
                                              {"Options", " ;Path", "x"}})
        EXPECT_FALSE(IsStorableIniText(section, key, value)) << section << key << value;
    EXPECT_TRUE(IsStorableIniText("Options", "Path", " C:\\[x]=y; z "));
}

// A missing file gives the default and a write creates it. A write keeps every
// other byte; a file that is not UTF-8 is read as Windows-1252 and stored as
// UTF-8. A file read again is read anew once its bytes change. A refused write
// leaves the file alone.
TEST(IniFile, WriteKeepsEveryOtherByte) {
    TempFolder temp;
    const std::string file = temp.Path("Stampwell.ini");
    EXPECT_EQ(ReadIniValue(file, "Options", "Filter", "*.*"), "*.*");
    EXPECT_FALSE(WriteIniValue(file, "Options", "Filter", "*.txt").Failed());
    EXPECT_EQ(ReadIniValue(file, "Options", "Filter", "*.*"), "*.txt");
    WriteBytes(file, "; f\xFCr\r\n[Options]\r\nPath=C:\\M\xFCller\r\n");
    EXPECT_EQ(ReadIniValue(file, "Options", "Path", ""), "C:\\M\xC3\xBCller");
    EXPECT_FALSE(WriteIniValue(file, "Options", "Filter", "*.txt").Failed());
    EXPECT_EQ(ReadBytes(file),
              "; f\xC3\xBCr\r\n[Options]\r\nPath=C:\\M\xC3\xBCller\r\nFilter=*.txt\r\n");
    WriteBytes(file, kSample);
    const auto error = WriteIniValue(file, "Options", "Path", "two\nlines");
    EXPECT_TRUE(error.code == kIniUnstorableText && !error.text.empty());
    EXPECT_EQ(ReadBytes(file), kSample);
}

} // namespace
