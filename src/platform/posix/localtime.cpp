#include "platform/localtime.h"

#include <time.h>

namespace stampwell::platform {

namespace {

bool Matches(const tm& t, const LocalDateTime& local) {
    return t.tm_year + 1900 == local.year && t.tm_mon + 1 == local.month &&
           t.tm_mday == local.day && t.tm_hour == local.hour && t.tm_min == local.minute &&
           t.tm_sec == local.second;
}

bool InRange(const LocalDateTime& l) {
    return l.month >= 1 && l.month <= 12 && l.day >= 1 && l.day <= 31 && l.hour >= 0 &&
           l.hour <= 23 && l.minute >= 0 && l.minute <= 59 && l.second >= 0 && l.second <= 59 &&
           l.nanoseconds < 1'000'000'000u;
}

} // namespace

LocalDateTime ToLocal(FileTime time) {
    const time_t seconds = static_cast<time_t>(time.seconds);
    tm t{};
    localtime_r(&seconds, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,       t.tm_hour,
            t.tm_min,         t.tm_sec,     time.nanoseconds};
}

std::optional<FileTime> FromLocal(const LocalDateTime& local) {
    if (!InRange(local))
        return std::nullopt;
    tzset();
    // Try the reading as standard time and as daylight time; keep each guess
    // that names this very reading, and of those the earlier instant.
    std::optional<time_t> best;
    for (const int isDst : {0, 1}) {
        tm t{};
        t.tm_year = local.year - 1900;
        t.tm_mon = local.month - 1;
        t.tm_mday = local.day;
        t.tm_hour = local.hour;
        t.tm_min = local.minute;
        t.tm_sec = local.second;
        t.tm_isdst = isDst;
        const time_t guess = mktime(&t);
        tm back{};
        if (localtime_r(&guess, &back) == nullptr || !Matches(back, local))
            continue;
        if (!best || guess < *best)
            best = guess;
    }
    if (!best)
        return std::nullopt;
    return FileTime{static_cast<std::int64_t>(*best), local.nanoseconds};
}

} // namespace stampwell::platform
