#include "support/datetimetext.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::platform::LocalDateTime;
using Order = DateTimeTextForm::Order;

namespace {

const DateTimeTextForm kGerman{Order::DayMonthYear, '.'};
const DateTimeTextForm kUs{Order::MonthDayYear, '/'};
const DateTimeTextForm kIso{Order::YearMonthDay, '-'};

} // namespace

TEST(DateTimeText, FormFollowsTheShortDatePattern) {
    EXPECT_EQ(DateTimeTextFormOf("dd.MM.yyyy"), kGerman);
    EXPECT_EQ(DateTimeTextFormOf("d.M.yy"), kGerman);
    EXPECT_EQ(DateTimeTextFormOf("M/d/yyyy"), kUs);
    EXPECT_EQ(DateTimeTextFormOf("yyyy-MM-dd"), kIso);
    EXPECT_EQ(DateTimeTextFormOf("dd/MM/yyyy"), (DateTimeTextForm{Order::DayMonthYear, '/'}));
    EXPECT_EQ(DateTimeTextFormOf("yyyy. MM. dd."), (DateTimeTextForm{Order::YearMonthDay, '.'}));
    EXPECT_EQ(DateTimeTextFormOf("'Day' dd-MM-yyyy"), (DateTimeTextForm{Order::DayMonthYear, '-'}));
}

TEST(DateTimeText, PatternsWithoutAUsableDateFormGiveIso) {
    EXPECT_EQ(DateTimeTextFormOf(""), kIso);
    EXPECT_EQ(DateTimeTextFormOf("yyyyMMdd"), kIso);
    EXPECT_EQ(DateTimeTextFormOf("dd.MM"), kIso);
    EXPECT_EQ(DateTimeTextFormOf("yyyy\xE5\xB9\xB4"
                                 "MM\xE6\x9C\x88"
                                 "dd\xE6\x97\xA5"),
              kIso)
        << "a separator beyond ASCII";
}

TEST(DateTimeText, FormatIsNineteenCharactersWithPaddedFields) {
    const LocalDateTime t{2024, 3, 5, 7, 8, 9, 999999999};
    EXPECT_EQ(FormatDateTimeText(t, kGerman), "05.03.2024 07:08:09");
    EXPECT_EQ(FormatDateTimeText(t, kUs), "03/05/2024 07:08:09");
    EXPECT_EQ(FormatDateTimeText(t, kIso), "2024-03-05 07:08:09");
    EXPECT_EQ(FormatDateTimeText({987, 12, 31, 23, 59, 59, 0}, kIso), "0987-12-31 23:59:59");
    EXPECT_EQ(FormatDateTimeText(t, kGerman).size(), 19u);
}

TEST(DateTimeText, ParseReadsWhatFormatWrites) {
    for (const auto& form : {kGerman, kUs, kIso}) {
        const LocalDateTime t{2024, 2, 29, 23, 0, 5, 0};
        EXPECT_EQ(ParseDateTimeText(FormatDateTimeText(t, form), form), t);
    }
}

TEST(DateTimeText, ParseAcceptsShortFieldsBlanksAndAMissingTime) {
    EXPECT_EQ(ParseDateTimeText("  5.3.2024 7:08:09 ", kGerman),
              (LocalDateTime{2024, 3, 5, 7, 8, 9, 0}));
    EXPECT_EQ(ParseDateTimeText("05.03.2024", kGerman), (LocalDateTime{2024, 3, 5, 0, 0, 0, 0}));
    EXPECT_EQ(ParseDateTimeText("3/5/2024 00:00:00", kUs), (LocalDateTime{2024, 3, 5, 0, 0, 0, 0}));
}

TEST(DateTimeText, ParseRefusesMalformedTextAndDatesThatDoNotExist) {
    for (const char* bad :
         {"", "   ", "31.04.2024 00:00:00", "29.02.2023 00:00:00", "29.02.1900 00:00:00",
          "01.13.2024 00:00:00", "00.01.2024 00:00:00", "01.01.2024 24:00:00",
          "01.01.2024 12:60:00", "01.01.2024 12:00:60", "01/01/2024 12:00:00", "01.01.24 12:00:00",
          "01.01.2024 12:00", "01.01.2024 12:00:00 x", "01.01.2024T12:00:00", "1.1.20245 1:1:1",
          "001.01.2024 12:00:00", "01.01.2024 -1:00:00"})
        EXPECT_FALSE(ParseDateTimeText(bad, kGerman)) << '"' << bad << '"';
    EXPECT_TRUE(ParseDateTimeText("29.02.2000 00:00:00", kGerman)) << "2000 is a leap year";
}
