#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "platform/localtime.h"
#include "support/datetimetext.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>
#include <vector>

using namespace stampwell::app;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

namespace {

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos) + "<no CR LF>");
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

} // namespace

TEST(IniFlag, TrueInAnyCaseOrANonZeroNumber) {
    for (const char* yes : {"True", "TRUE", "true", " tRuE ", "1", "-1", "2", "+7"})
        EXPECT_TRUE(IniFlag(yes)) << yes;
    for (const char* no : {"False", "false", "0", "-0", "", "yes", "Truee", "1x", "0x1"})
        EXPECT_FALSE(IniFlag(no)) << no;
}

TEST(DefaultIni, HasTheFortyTwoLinesWithYearAndDateTime) {
    const auto lines = CrLfLines(DefaultIniText(2031, "31.12.2031 23:59:58"));
    ASSERT_EQ(lines.size(), 42u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], ";");
    EXPECT_EQ(lines[3], "; Config file for Stampwell");
    EXPECT_EQ(lines[4], ";     file name: Stampwell.ini");
    EXPECT_EQ(lines[5], ";");
    EXPECT_EQ(lines[6], ";     Olvadi");
    for (int i = 7; i <= 9; ++i)
        EXPECT_TRUE(lines[i].starts_with(";     ") && lines[i].size() > 6) << i;
    EXPECT_TRUE(lines[10].starts_with(";     mailto:"));
    EXPECT_EQ(lines[11], ";");
    EXPECT_TRUE(lines[12].starts_with(";     ") && lines[12].find("2031") != std::string::npos &&
                lines[12].find("Olvadi") != std::string::npos);
    EXPECT_TRUE(lines[13].starts_with(";     https://"));
    EXPECT_EQ(lines[14], ";");
    EXPECT_EQ(lines[15], "");
    const std::vector<std::string> options = {"[Options]",       "Language=",
                                              "Path=",           "SavePath=True",
                                              "SaveFilter=True", "SaveAttrib=True",
                                              "SaveTime=True",   "WriteFileTime=False",
                                              "FolderTime=True", "FolderAttr=True",
                                              "Mode=0",          "Recursive=True",
                                              "Filter=*.*",      "Index=0",
                                              "Index1=0",        "Index2=1",
                                              "Index3=0",        "Exchange=False",
                                              "Attrib=0",        "Archive=False",
                                              "ReadOnly=False",  "System=False",
                                              "Hidden=False",    "NewTime=31.12.2031 23:59:58",
                                              "SysTray=True",    ""};
    for (std::size_t i = 0; i < options.size(); ++i)
        EXPECT_EQ(lines[16 + i], options[i]) << "line " << 17 + i;
}

TEST(DefaultIni, CreateWritesTodaysYearAndTheTimeNow) {
    TempFolder temp;
    const auto before = stampwell::platform::Now();
    ASSERT_FALSE(CreateDefaultIni(temp.Root()).Failed());
    const auto lines = CrLfLines(ReadBytes(temp.Path("Stampwell.ini")));
    ASSERT_EQ(lines.size(), 42u);
    const auto local = stampwell::platform::ToLocal(before);
    EXPECT_NE(lines[12].find(std::to_string(local.year)), std::string::npos);
    ASSERT_TRUE(lines[39].starts_with("NewTime="));
    const std::string text = lines[39].substr(8);
    EXPECT_EQ(text.size(), 19u);
    const auto parsed = stampwell::support::ParseDateTimeText(text);
    ASSERT_TRUE(parsed) << text;
    const auto written = stampwell::platform::FromLocal(*parsed);
    ASSERT_TRUE(written);
    EXPECT_LE(before.seconds - written->seconds, 1);
    EXPECT_LE(written->seconds - before.seconds, 5);
}

TEST(DefaultIni, CreateReplacesAnExistingFile) {
    TempFolder temp;
    WriteBytes(temp.Path("Stampwell.ini"), "[Options]\r\nLanguage=Deutsch\r\n");
    ASSERT_FALSE(CreateDefaultIni(temp.Root()).Failed());
    EXPECT_EQ(CrLfLines(ReadBytes(temp.Path("Stampwell.ini")))[17], "Language=");
}

TEST(DefaultIni, CreateInAMissingFolderFailsWithTheReason) {
    TempFolder temp;
    const auto error = CreateDefaultIni(temp.Path("missing"));
    EXPECT_TRUE(error.Failed());
    EXPECT_FALSE(error.text.empty());
}

TEST(IniHandler, ReadIniAndWriteIniUseTheConfigurationFile) {
    TempFolder temp;
    Global().IniFile = temp.Path("Stampwell.ini");
    ASSERT_FALSE(CreateDefaultIni(temp.Root()).Failed());
    const std::string before = ReadBytes(Global().IniFile);
    EXPECT_EQ(ReadIni("Options", "Filter", "x"), "*.*");
    EXPECT_EQ(ReadIni("Options", "ChangeHiddenDirTimes", "0"), "0");
    EXPECT_FALSE(WriteIni("Options", "Language", "English").Failed());
    EXPECT_EQ(ReadIni("Options", "Language", ""), "English");
    std::string expected = before;
    expected.replace(expected.find("Language=\r\n"), 11, "Language=English\r\n");
    EXPECT_EQ(ReadBytes(Global().IniFile), expected);
    Global().IniFile.clear();
}

TEST(IniHandler, ReadLangUsesTheLanguageFile) {
    TempFolder temp;
    Global().LanguageFilePath = temp.Path("English.lng");
    WriteBytes(Global().LanguageFilePath, "[dlgLangSelect]\r\nt0=Welcome\r\n");
    EXPECT_EQ(ReadLang("dlgLangSelect", "t0", ""), "Welcome");
    EXPECT_EQ(ReadLang("dlgLangSelect", "t9", ""), "");
    EXPECT_EQ(ReadLang("SWfrmMain", "t0", ""), "");
    Global().LanguageFilePath = temp.Path("Missing.lng");
    EXPECT_EQ(ReadLang("dlgLangSelect", "t0", ""), "");
    Global().LanguageFilePath.clear();
}
