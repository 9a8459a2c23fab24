#include "support/datetimetext.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::platform::LocalDateTime;
using Order = DateTimeTextForm::Order;

namespace {

const DateTimeTextForm kGerman{Order::DayMonthYear, '.'};
const DateTimeTextForm kUs{Order::MonthDayYear, '/'};
const DateTimeTextForm kIso{Order::YearMonthDay, '-'};

class DateTimeTextForms
    : public ::testing::TestWithParam<std::pair<const char*, DateTimeTextForm>> {};

// The short date pattern's field order and first mark; without a usable one, ISO.
TEST_P(DateTimeTextForms, FollowTheShortDatePattern) {
    EXPECT_EQ(DateTimeTextFormOf(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, DateTimeTextForms,
    ::testing::Values(std::pair{"dd.MM.yyyy", kGerman}, std::pair{"M/d/yyyy", kUs},
                      std::pair{"yyyy. MM. dd.", DateTimeTextForm{Order::YearMonthDay, '.'}},
                      std::pair{"'Day' dd-MM-yyyy", DateTimeTextForm{Order::DayMonthYear, '-'}},
                      std::pair{"ddaAzZ.MM.yyyy", kGerman}, std::pair{"dd.MM", kIso},
                      std::pair{"yyyy\xE5\xB9\xB4MM\xE6\x9C\x88"
                                "dd",
                                kIso}));

TEST(DateTimeText, FormatIsNineteenCharactersWithPaddedFields) {
    const LocalDateTime t{2024, 3, 5, 7, 8, 9, 999999999};
    EXPECT_EQ(FormatDateTimeText(t, kGerman), "05.03.2024 07:08:09");
    EXPECT_EQ(FormatDateTimeText({987, 12, 31, 23, 59, 59, 0}, kIso), "0987-12-31 23:59:59");
}

// Leap years, the first and last day of a month, 23:59:59; blanks around the
// text, one-digit fields and a date without a time.
TEST(DateTimeText, ParseTakesValidText) {
    const struct {
        const char* text;
        DateTimeTextForm form;
        LocalDateTime expected;
    } cases[] = {
        {"29.02.2024 23:00:05", kGerman, {2024, 2, 29, 23, 0, 5, 0}},
        {"2024-02-29 23:00:05", kIso, {2024, 2, 29, 23, 0, 5, 0}},
        {"  5.3.2024 7:08:09 ", kGerman, {2024, 3, 5, 7, 8, 9, 0}},
        {"05.03.2024", kGerman, {2024, 3, 5, 0, 0, 0, 0}},
        {"01.01.0001 00:00:00", kGerman, {1, 1, 1, 0, 0, 0, 0}},
        {"31.12.9999 23:59:59", kGerman, {9999, 12, 31, 23, 59, 59, 0}},
        {"29.02.2000 00:00:00", kGerman, {2000, 2, 29, 0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDateTimeText(c.text, c.form), c.expected) << c.text;
}

TEST(DateTimeText, ParseRefusesEverythingElse) {
    for (const char* bad : {"   ", "31.04.2024 00:00:00", "29.02.2023 00:00:00",
                            "29.02.1900 00:00:00", "01.13.2024 00:00:00", "01.00.2024 00:00:00",
                            "00.01.2024 00:00:00", "01.01.0000 00:00:00", "01.01.2024 24:00:00",
                            "01.01.2024 12:60:00", "01.01.2024 12:00:60", "01/01/2024 12:00:00",
                            "01.01.24 12:00:00", "01.01.2024 12:00", "01.01.2024 :00:00",
                            "01.01.2024 12:00:00 x", "01.01.2024T12:00:00", "001.01.2024 12:00:00"})
        EXPECT_EQ(ParseDateTimeText(bad, kGerman), std::nullopt) << bad;
    EXPECT_EQ(ParseDateTimeText("24-02-29 00:00:00", kIso), std::nullopt);
}

} // namespace
