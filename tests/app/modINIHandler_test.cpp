#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "platform/localtime.h"
#include "support/datetimetext.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;
using stampwell::testing::WriteBytes;

TEST(IniFlag, TrueInAnyCaseOrANonZeroNumber) {
    for (const char* yes : {"True", "TRUE", "true", " \ttRuE\t ", "1", "-1", "2", "+7"})
        EXPECT_TRUE(IniFlag(yes)) << yes;
    for (const char* no : {"False", "0", "-0", "", " ", "yes", "Truee", "1x", "0x1", "+"})
        EXPECT_FALSE(IniFlag(no)) << no;
}

// The file a first start writes: a header naming the year, then the options.
TEST(DefaultIni, CreateWritesTheOptionsWithTheYearAndTimeNow) {
    TempFolder temp;
    WriteBytes(temp.Path("Stampwell.ini"), "[Options]\r\nLanguage=Deutsch\r\n");
    const auto before = stampwell::platform::Now();
    ASSERT_FALSE(CreateDefaultIni(temp.Root()).Failed());
    const std::string text = ReadBytes(temp.Path("Stampwell.ini"));
    const std::string year = std::to_string(stampwell::platform::ToLocal(before).year);
    EXPECT_TRUE(text.starts_with("\r\n\r\n;\r\n; Config file for Stampwell\r\n")) << text;
    EXPECT_NE(text.find(";     Copyright (c) " + year + " Olvadi\r\n;     https://"),
              std::string::npos);
    const std::size_t options = text.find("\r\n\r\n[Options]\r\n");
    ASSERT_NE(options, std::string::npos);
    EXPECT_EQ(text.substr(options, text.find("NewTime=") - options),
              "\r\n\r\n[Options]\r\nLanguage=\r\nPath=\r\nSavePath=True\r\nSaveFilter=True\r\n"
              "SaveAttrib=True\r\nSaveTime=True\r\nWriteFileTime=False\r\nFolderTime=True\r\n"
              "FolderAttr=True\r\nMode=0\r\nRecursive=True\r\nFilter=*.*\r\nIndex=0\r\nIndex1=0\r\n"
              "Index2=1\r\nIndex3=0\r\nExchange=False\r\nAttrib=0\r\nArchive=False\r\n"
              "ReadOnly=False\r\nSystem=False\r\nHidden=False\r\n");
    const std::size_t at = text.find("NewTime=") + 8;
    EXPECT_EQ(text.substr(at + 19), "\r\nSysTray=True\r\n\r\n");
    const auto parsed = stampwell::support::ParseDateTimeText(text.substr(at, 19));
    ASSERT_TRUE(parsed) << text.substr(at, 19);
    const auto written = stampwell::platform::FromLocal(*parsed);
    ASSERT_TRUE(written);
    EXPECT_LE(before.seconds - written->seconds, 1);
    EXPECT_LE(written->seconds - before.seconds, 5);
    const auto error = CreateDefaultIni(temp.Path("missing"));
    EXPECT_TRUE(error.Failed() && !error.text.empty());
}

// ReadIni and WriteIni use the settings file, ReadLang the language file.
TEST(IniHandler, EachReadsItsOwnFile) {
    TempFolder temp;
    Global().IniFile = temp.Path("Stampwell.ini");
    Global().LanguageFilePath = temp.Path("English.lng");
    WriteBytes(Global().LanguageFilePath, "[dlgLangSelect]\r\nt0=Welcome\r\n");
    ASSERT_FALSE(CreateDefaultIni(temp.Root()).Failed());
    EXPECT_EQ(ReadIni("Options", "Filter", "x"), "*.*");
    EXPECT_EQ(ReadIni("Options", "ChangeHiddenDirTimes", "0"), "0");
    EXPECT_FALSE(WriteIni("Options", "Language", "English").Failed());
    EXPECT_EQ(ReadIni("Options", "Language", ""), "English");
    EXPECT_EQ(ReadLang("dlgLangSelect", "t0", ""), "Welcome");
    EXPECT_EQ(ReadLang("Options", "Language", "none"), "none");
    Global().LanguageFilePath = temp.Path("Missing.lng");
    EXPECT_EQ(ReadLang("dlgLangSelect", "t0", ""), "");
    Global() = GlobalState{};
}
