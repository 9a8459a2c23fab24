#include "cli/datetime.h"

#include "platform/localtime.h"
#include "support/datetimetext.h"

#include <chrono>
#include <string_view>

namespace stampwell::cli {

namespace {

bool IsDigit(std::string_view text, std::size_t pos) {
    return pos < text.size() && text[pos] >= '0' && text[pos] <= '9';
}

// Reads exactly `digits` decimal digits at `pos`.
bool Number(std::string_view text, std::size_t& pos, int digits, int& value) {
    value = 0;
    for (int i = 0; i < digits; ++i) {
        if (!IsDigit(text, pos))
            return false;
        value = value * 10 + (text[pos++] - '0');
    }
    return true;
}

// The year: four digits, or five for the years from 10000 on.
bool Year(std::string_view text, std::size_t& pos, int& year) {
    if (!Number(text, pos, 4, year))
        return false;
    if (IsDigit(text, pos))
        year = year * 10 + (text[pos++] - '0');
    return true;
}

bool Expect(std::string_view text, std::size_t& pos, char wanted) {
    if (pos >= text.size() || text[pos] != wanted)
        return false;
    ++pos;
    return true;
}

} // namespace

std::optional<platform::FileTime> ParseDateTime(const std::string& text, std::string& why) {
    const std::string_view view(text);
    platform::LocalDateTime local;
    std::size_t pos = 0;
    why = "expected YYYY-MM-DD HH:MM:SS[.fraction] with an optional Z or +HH:MM";
    if (!Year(view, pos, local.year) || !Expect(view, pos, '-') ||
        !Number(view, pos, 2, local.month) || !Expect(view, pos, '-') ||
        !Number(view, pos, 2, local.day) || !Expect(view, pos, ' ') ||
        !Number(view, pos, 2, local.hour) || !Expect(view, pos, ':') ||
        !Number(view, pos, 2, local.minute) || !Expect(view, pos, ':') ||
        !Number(view, pos, 2, local.second))
        return std::nullopt;
    if (pos < view.size() && view[pos] == '.') {
        ++pos;
        std::uint32_t scale = 100'000'000;
        std::size_t digits = 0;
        while (pos < view.size() && view[pos] >= '0' && view[pos] <= '9') {
            if (++digits > 9)
                return std::nullopt;
            local.nanoseconds += static_cast<std::uint32_t>(view[pos++] - '0') * scale;
            scale /= 10;
        }
        if (digits == 0)
            return std::nullopt;
    }
    // Checked first: a year of five digits can be beyond what chrono holds.
    if (!support::IsStorableDateTime(local)) {
        const support::DateTimeTextForm iso;
        why = "outside the dates a file system can store (" +
              support::FormatDateTimeText(support::kFirstStorableDateTime, iso) + " to " +
              support::FormatDateTimeText(support::kLastStorableDateTime, iso) + ")";
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year(local.year),
                                           std::chrono::month(static_cast<unsigned>(local.month)),
                                           std::chrono::day(static_cast<unsigned>(local.day))};
    if (!date.ok() || local.hour > 23 || local.minute > 59 || local.second > 59) {
        why = "no such date or time of day";
        return std::nullopt;
    }
    if (pos == view.size()) {
        const auto instant = platform::FromLocal(local);
        if (!instant)
            why = "this local time does not exist (skipped by a clock change)";
        return instant;
    }
    int offsetMinutes = 0;
    if (view[pos] == 'Z') {
        ++pos;
    } else if (view[pos] == '+' || view[pos] == '-') {
        const int sign = view[pos++] == '-' ? -1 : 1;
        int hours = 0;
        int minutes = 0;
        if (!Number(view, pos, 2, hours) || !Expect(view, pos, ':') ||
            !Number(view, pos, 2, minutes) || hours > 23 || minutes > 59)
            return std::nullopt;
        offsetMinutes = sign * (hours * 60 + minutes);
    } else {
        return std::nullopt;
    }
    if (pos != view.size())
        return std::nullopt;
    const std::int64_t days = std::chrono::sys_days(date).time_since_epoch().count();
    const std::int64_t seconds = days * 86400 + local.hour * 3600 + local.minute * 60 +
                                 local.second - std::int64_t{offsetMinutes} * 60;
    return platform::FileTime{seconds, local.nanoseconds};
}

} // namespace stampwell::cli
