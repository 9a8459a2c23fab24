#include "support/datetimetext.h"

#include "platform/locale.h"

#include <array>
#include <cstdio>
#include <tuple>

namespace stampwell::support {

using platform::LocalDateTime;
using Order = DateTimeTextForm::Order;

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

// Reads minDigits to maxDigits decimal digits at text[pos].
std::optional<int> Number(std::string_view text, std::size_t& pos, std::size_t minDigits,
                          std::size_t maxDigits) {
    std::size_t count = 0;
    int value = 0;
    while (pos < text.size() && count < maxDigits && IsDigit(text[pos])) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++count;
    }
    if (count < minDigits)
        return std::nullopt;
    return value;
}

bool IsAsciiMark(char c) {
    return c > ' ' && c < 0x7F && !IsDigit(c);
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

} // namespace

DateTimeTextForm DateTimeTextFormOf(std::string_view pattern) {
    std::string fields; // 'd', 'M', 'y' in the order the pattern names them
    char separator = '\0';
    bool quoted = false;
    for (const char c : pattern) {
        if (c == '\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c == 'd' || c == 'M' || c == 'y') {
            if (fields.find(c) == std::string::npos)
                fields += c;
        } else if (fields.size() == 1 && separator == '\0' && c != ' ' &&
                   !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            separator = c;
        }
    }
    // Only a one-byte mark keeps the text 19 characters and plain ASCII; a
    // locale that writes "2024年12月31日" gets the ISO form.
    if (!IsAsciiMark(separator))
        return {};
    if (fields == "dMy")
        return {Order::DayMonthYear, separator};
    if (fields == "Mdy")
        return {Order::MonthDayYear, separator};
    if (fields == "yMd")
        return {Order::YearMonthDay, separator};
    return {};
}

DateTimeTextForm LocaleDateTimeTextForm() {
    return DateTimeTextFormOf(platform::ShortDatePattern());
}

std::string FormatDateTimeText(const LocalDateTime& time, const DateTimeTextForm& form) {
    char date[32];
    const char s = form.separator;
    switch (form.order) {
    case Order::DayMonthYear:
        std::snprintf(date, sizeof date, "%02d%c%02d%c%04d", time.day, s, time.month, s, time.year);
        break;
    case Order::MonthDayYear:
        std::snprintf(date, sizeof date, "%02d%c%02d%c%04d", time.month, s, time.day, s, time.year);
        break;
    case Order::YearMonthDay:
        std::snprintf(date, sizeof date, "%04d%c%02d%c%02d", time.year, s, time.month, s, time.day);
        break;
    }
    char clock[16];
    std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    return std::string(date) + ' ' + clock;
}

std::string FormatDateTimeText(const LocalDateTime& time) {
    return FormatDateTimeText(time, LocaleDateTimeTextForm());
}

std::optional<LocalDateTime> ParseDateTimeText(std::string_view text,
                                               const DateTimeTextForm& form) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);

    std::size_t pos = 0;
    std::optional<int> a, b, c;
    const bool yearFirst = form.order == Order::YearMonthDay;
    a = yearFirst ? Number(text, pos, 4, 4) : Number(text, pos, 1, 2);
    if (!a || !Expect(text, pos, form.separator) || !(b = Number(text, pos, 1, 2)) ||
        !Expect(text, pos, form.separator))
        return std::nullopt;
    c = yearFirst ? Number(text, pos, 1, 2) : Number(text, pos, 4, 4);
    if (!c)
        return std::nullopt;

    LocalDateTime time;
    switch (form.order) {
    case Order::DayMonthYear:
        time.day = *a, time.month = *b, time.year = *c;
        break;
    case Order::MonthDayYear:
        time.month = *a, time.day = *b, time.year = *c;
        break;
    case Order::YearMonthDay:
        time.year = *a, time.month = *b, time.day = *c;
        break;
    }
    time.hour = time.minute = time.second = 0;
    if (pos < text.size()) {
        if (!Expect(text, pos, ' '))
            return std::nullopt;
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const auto hour = Number(text, pos, 1, 2);
        std::optional<int> minute, second;
        if (!hour || !Expect(text, pos, ':') || !(minute = Number(text, pos, 1, 2)) ||
            !Expect(text, pos, ':') || !(second = Number(text, pos, 1, 2)) || pos != text.size())
            return std::nullopt;
        time.hour = *hour, time.minute = *minute, time.second = *second;
    }
    if (time.year < 1 || time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > DaysInMonth(time.year, time.month) || time.hour > 23 || time.minute > 59 ||
        time.second > 59)
        return std::nullopt;
    return time;
}

std::optional<LocalDateTime> ParseDateTimeText(std::string_view text) {
    return ParseDateTimeText(text, LocaleDateTimeTextForm());
}

bool IsStorableDateTime(const LocalDateTime& time) {
    const auto seconds = [](const LocalDateTime& t) {
        return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
    };
    return seconds(time) >= seconds(kFirstStorableDateTime) &&
           seconds(time) <= seconds(kLastStorableDateTime);
}

} // namespace stampwell::support
