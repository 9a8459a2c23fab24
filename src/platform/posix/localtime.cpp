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
    tm wanted{};
    wanted.tm_year = local.year - 1900;
    wanted.tm_mon = local.month - 1;
    wanted.tm_mday = local.day;
    wanted.tm_hour = local.hour;
    wanted.tm_min = local.minute;
    wanted.tm_sec = local.second;
    const time_t asUtc = timegm(&wanted);
    // Each offset in force at the whole hours up to 26 hours either side of
    // the reading taken as UTC gives a candidate (no zone is further from
    // UTC). A candidate counts when its local reading is the very reading
    // asked for, and the earliest such instant wins: the first of a repeated
    // hour, also where both sides are summer time. None counts for a reading
    // in the hour skipped in spring, nor for a day the month does not have.
    constexpr time_t kHour = 3600;
    constexpr int kHours = 26;
    std::optional<time_t> best;
    for (int hour = -kHours; hour <= kHours; ++hour) {
        const time_t probe = asUtc + hour * kHour;
        tm at{};
        if (localtime_r(&probe, &at) == nullptr)
            continue;
        const time_t candidate = asUtc - at.tm_gmtoff;
        tm back{};
        if (localtime_r(&candidate, &back) != nullptr && Matches(back, local) &&
            (!best || candidate < *best))
            best = candidate;
    }
    if (!best)
        return std::nullopt;
    return FileTime{static_cast<std::int64_t>(*best), local.nanoseconds};
}

} // namespace stampwell::platform
