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

// The file a first start writes, over any file there: a header naming the
// year, then the options with the time now.
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
    const std::string now = text.substr(text.find("NewTime=") + 8, 19);
    EXPECT_EQ(text.substr(text.find("\r\n\r\n[Options]\r\n")),
              "\r\n\r\n[Options]\r\nLanguage=\r\nPath=\r\nSavePath=True\r\nSaveFilter=True\r\n"
              "SaveAttrib=True\r\nSaveTime=True\r\nWriteFileTime=False\r\nFolderTime=True\r\n"
              "FolderAttr=True\r\nMode=0\r\nRecursive=True\r\nFilter=*.*\r\nIndex=0\r\nIndex1=0\r\n"
              "Index2=1\r\nIndex3=0\r\nExchange=False\r\nAttrib=0\r\nArchive=False\r\n"
              "ReadOnly=False\r\nSystem=False\r\nHidden=False\r\nNewTime=" +
                  now + "\r\nSysTray=True\r\n\r\n");
    const auto written =
        stampwell::platform::FromLocal(stampwell::support::ParseDateTimeText(now).value());
    EXPECT_NEAR(written.value().seconds, before.seconds, 5) << now;
    EXPECT_FALSE(CreateDefaultIni(temp.Path("missing")).text.empty());
}
