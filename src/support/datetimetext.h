#pragma once

#include "platform/localtime.h"

#include <optional>
#include <string>
#include <string_view>

// The 19-character local date-time text the user reads and types: day, month
// and year in the locale's order and with its separator (two-digit day and
// month, four-digit year), a blank, and 24-hour HH:mm:ss. German
// "31.12.2024 23:59:58", US "12/31/2024 23:59:58"; where the locale has no
// date form of its own (the C locale) or separates the fields with anything but
// one ASCII mark (Japanese "2024年12月31日"), ISO "2024-12-31 23:59:58".
namespace stampwell::support {

struct DateTimeTextForm {
    enum class Order { DayMonthYear, MonthDayYear, YearMonthDay };
    Order order = Order::YearMonthDay;
    char separator = '-';

    bool operator==(const DateTimeTextForm&) const = default;
};

// The form a short-date pattern in Windows' letters describes ("dd.MM.yyyy",
// "M/d/yy", ...); ISO for "" or a pattern without day, month, year and a
// one-byte ASCII separator.
DateTimeTextForm DateTimeTextFormOf(std::string_view shortDatePattern);

// The current locale's form.
DateTimeTextForm LocaleDateTimeTextForm();

// The text of a reading; the fraction of a second is not shown.
std::string FormatDateTimeText(const platform::LocalDateTime& time, const DateTimeTextForm& form);
std::string FormatDateTimeText(const platform::LocalDateTime& time);

// Reads a typed text in the given form. Blanks around it are ignored, day,
// month and the time fields may have one digit, and a text without a time is
// midnight. Nothing for anything else or a date that does not exist
// (31.04., 29.02. outside leap years).
std::optional<platform::LocalDateTime> ParseDateTimeText(std::string_view text,
                                                         const DateTimeTextForm& form);
std::optional<platform::LocalDateTime> ParseDateTimeText(std::string_view text);

// The dates every platform's file systems can store, as typed in local time:
// from 1601-01-01 00:00:00, where Windows' file times begin, to 30827-12-31
// 23:59:59, the last day of Windows' calendar. A date outside them (year 0
// among them) is refused before a run. Whole seconds count: a fraction of the
// last second is inside.
inline constexpr platform::LocalDateTime kFirstStorableDateTime{1601, 1, 1, 0, 0, 0, 0};
inline constexpr platform::LocalDateTime kLastStorableDateTime{30827, 12, 31, 23, 59, 59, 0};
bool IsStorableDateTime(const platform::LocalDateTime& time);

} // namespace stampwell::support
