#include "support/datetimetext.h"

#include <gtest/gtest.h>

using namespace stampwell::support;
using stampwell::platform::LocalDateTime;
using Order = DateTimeTextForm::Order;

namespace {

const DateTimeTextForm kGerman{Order::DayMonthYear, '.'};
const DateTimeTextForm kUs{Order::MonthDayYear, '/'};
const DateTimeTextForm kIso{Order::YearMonthDay, '-'};

TEST(DateTimeText, FormFollowsTheShortDatePattern) {
    const std::pair<const char*, DateTimeTextForm> cases[] = {
        {"dd.MM.yyyy", kGerman},
        {"d.M.yy", kGerman},
        {"M/d/yyyy", kUs},
        {"yyyy-MM-dd", kIso},
        {"dd/MM/yyyy", {Order::DayMonthYear, '/'}},
        {"yyyy. MM. dd.", {Order::YearMonthDay, '.'}},
        {"'Day' dd-MM-yyyy", {Order::DayMonthYear, '-'}},
        // Letters between the fields are no separator, whatever their case.
        {"ddaAzZ.MM.yyyy", kGerman},
        // Without a usable date form: ISO.
        {"", kIso},
        {"yyyyMMdd", kIso},
        {"dd.MM", kIso},
        {"yyyy\xE5\xB9\xB4"
         "MM\xE6\x9C\x88"
         "dd\xE6\x97\xA5",
         kIso}, // a separator beyond ASCII
    };
    for (const auto& [pattern, form] : cases)
        EXPECT_EQ(DateTimeTextFormOf(pattern), form) << pattern;
}

TEST(DateTimeText, FormatIsNineteenCharactersWithPaddedFields) {
    const LocalDateTime t{2024, 3, 5, 7, 8, 9, 999999999};
    EXPECT_EQ(FormatDateTimeText(t, kGerman), "05.03.2024 07:08:09");
    EXPECT_EQ(FormatDateTimeText(t, kUs), "03/05/2024 07:08:09");
    EXPECT_EQ(FormatDateTimeText(t, kIso), "2024-03-05 07:08:09");
    EXPECT_EQ(FormatDateTimeText({987, 12, 31, 23, 59, 59, 0}, kIso), "0987-12-31 23:59:59");
}

struct ParseCase {
    const char* text;
    DateTimeTextForm form;
    std::optional<LocalDateTime> expected;
};

TEST(DateTimeText, ParseTakesValidTextAndRefusesTheRest) {
    const ParseCase cases[] = {
        {"29.02.2024 23:00:05", kGerman, LocalDateTime{2024, 2, 29, 23, 0, 5, 0}},
        {"02/29/2024 23:00:05", kUs, LocalDateTime{2024, 2, 29, 23, 0, 5, 0}},
        {"2024-02-29 23:00:05", kIso, LocalDateTime{2024, 2, 29, 23, 0, 5, 0}},
        {"  5.3.2024 7:08:09 ", kGerman, LocalDateTime{2024, 3, 5, 7, 8, 9, 0}},
        {"05.03.2024", kGerman, LocalDateTime{2024, 3, 5, 0, 0, 0, 0}},
        {"3/5/2024 00:00:00", kUs, LocalDateTime{2024, 3, 5, 0, 0, 0, 0}},
        // The first and last value of every field.
        {"01.01.0001 00:00:00", kGerman, LocalDateTime{1, 1, 1, 0, 0, 0, 0}},
        {"31.12.9999 23:59:59", kGerman, LocalDateTime{9999, 12, 31, 23, 59, 59, 0}},
        {"29.02.2000 00:00:00", kGerman, LocalDateTime{2000, 2, 29, 0, 0, 0, 0}},
        {"", kGerman, std::nullopt},
        {"   ", kGerman, std::nullopt},
        {"31.04.2024 00:00:00", kGerman, std::nullopt},
        {"29.02.2023 00:00:00", kGerman, std::nullopt},
        {"29.02.1900 00:00:00", kGerman, std::nullopt},
        {"01.13.2024 00:00:00", kGerman, std::nullopt},
        {"01.00.2024 00:00:00", kGerman, std::nullopt},
        {"00.01.2024 00:00:00", kGerman, std::nullopt},
        {"01.01.0000 00:00:00", kGerman, std::nullopt},
        {"01.01.2024 24:00:00", kGerman, std::nullopt},
        {"01.01.2024 12:60:00", kGerman, std::nullopt},
        {"01.01.2024 12:00:60", kGerman, std::nullopt},
        {"01/01/2024 12:00:00", kGerman, std::nullopt},
        {"01.01.24 12:00:00", kGerman, std::nullopt},
        {"01.01.2024 12:00", kGerman, std::nullopt},
        {"01.01.2024 12:00:00 x", kGerman, std::nullopt},
        {"01.01.2024T12:00:00", kGerman, std::nullopt},
        {"1.1.20245 1:1:1", kGerman, std::nullopt},
        {"001.01.2024 12:00:00", kGerman, std::nullopt},
        {"01.01.2024 -1:00:00", kGerman, std::nullopt},
        {"24-02-29 00:00:00", kIso, std::nullopt},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(ParseDateTimeText(c.text, c.form), c.expected) << '"' << c.text << '"';
}

} // namespace
