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
    EXPECT_NE(text.find(";     Copyright (c) " + year + " Olvadi\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\n[Options]\r\nLanguage=\r\n"), std::string::npos) << text;
    const std::string now = text.substr(text.find("\r\nNewTime=") + 10, 19);
    const auto written =
        stampwell::platform::FromLocal(stampwell::support::ParseDateTimeText(now).value());
    EXPECT_NEAR(written.value().seconds, before.seconds, 5) << now;
    EXPECT_FALSE(CreateDefaultIni(temp.Path("missing")).text.empty());
}
