#include "app/modINIHandler.h"
#include "platform/localtime.h"
#include "support/datetimetext.h"
#include "testing/tempfolder.h"

#include <gtest/gtest.h>

using namespace stampwell::app;
using stampwell::testing::ReadBytes;
using stampwell::testing::TempFolder;

TEST(IniFlag, TrueInAnyCaseOrANonZeroNumber) {
    for (const char* yes : {"TRUE", " \ttRuE\t ", "-1", "+7"})
        EXPECT_TRUE(IniFlag(yes)) << yes;
    for (const char* no : {"0", "-0", "", "Truee", "1x", "+"})
        EXPECT_FALSE(IniFlag(no)) << no;
}

// The file a first start writes: the options with the time now.
TEST(DefaultIni, CreateWritesTheOptionsWithTheTimeNow) {
    TempFolder temp;
    const auto before = stampwell::platform::Now();
    ASSERT_FALSE(CreateDefaultIni(temp.Root()).Failed());
    const std::string text = ReadBytes(temp.Path("Stampwell.ini"));
    EXPECT_NE(text.find("\r\n\r\n[Options]\r\nLanguage=\r\n"), std::string::npos) << text;
    const std::string now = text.substr(text.find("\r\nNewTime=") + 10, 19);
    const auto written =
        stampwell::platform::FromLocal(stampwell::support::ParseDateTimeText(now).value());
    EXPECT_NEAR(written.value().seconds, before.seconds, 5) << now;
}
