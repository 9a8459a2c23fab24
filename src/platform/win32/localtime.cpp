#include "platform/localtime.h"

#include "platform/win32/ticks.h"

#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>
#include <windows.h>

namespace stampwell::platform {

namespace {

constexpr std::int64_t kSecondsPerMinute = 60;
constexpr int kFirstYear = 1601; // the system calendar's range
constexpr int kLastYear = 30827;

// The machine's zone with the rules it follows in one year (dynamic zones
// change their rules from year to year). Looking the rules up reads the
// registry, so they are kept for as long as the machine's zone stays the
// same; asking for the zone itself is cheap.
std::optional<TIME_ZONE_INFORMATION> RulesFor(int year) {
    if (year < kFirstYear || year > kLastYear)
        return std::nullopt;
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    if (GetDynamicTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID)
        return std::nullopt;

    static std::mutex mutex;
    static DYNAMIC_TIME_ZONE_INFORMATION cachedZone{};
    static std::map<int, std::optional<TIME_ZONE_INFORMATION>> cachedRules;
    const std::lock_guard lock(mutex);
    if (std::memcmp(&zone, &cachedZone, sizeof zone) != 0) {
        cachedZone = zone;
        cachedRules.clear();
    }
    const auto found = cachedRules.find(year);
    if (found != cachedRules.end())
        return found->second;
    std::optional<TIME_ZONE_INFORMATION> rules = TIME_ZONE_INFORMATION{};
    if (!GetTimeZoneInformationForYear(static_cast<USHORT>(year), &zone, &*rules))
        rules.reset();
    cachedRules.emplace(year, rules);
    return rules;
}

std::optional<SYSTEMTIME> ToSystemTime(std::int64_t seconds) {
    const auto ticks = win32::ToTicks({seconds, 0});
    SYSTEMTIME time{};
    if (!ticks || !FileTimeToSystemTime(&*ticks, &time))
        return std::nullopt;
    return time;
}

std::optional<std::int64_t> FromSystemTime(const SYSTEMTIME& time) {
    FILETIME ticks{};
    if (!SystemTimeToFileTime(&time, &ticks))
        return std::nullopt;
    return win32::FromTicks(ticks).seconds;
}

// The local reading of a whole second, by the rules of its year.
std::optional<SYSTEMTIME> LocalReading(std::int64_t seconds) {
    const auto utc = ToSystemTime(seconds);
    if (!utc)
        return std::nullopt;
    const auto rules = RulesFor(utc->wYear);
    SYSTEMTIME local{};
    if (!rules || !SystemTimeToTzSpecificLocalTime(&*rules, &*utc, &local))
        return std::nullopt;
    return local;
}

// Calendar arithmetic for instants the system calendar does not cover.
LocalDateTime Civil(std::int64_t seconds, std::uint32_t nanoseconds) {
    using namespace std::chrono;
    const sys_seconds instant{std::chrono::seconds{seconds}};
    const auto day = floor<days>(instant);
    const year_month_day date{day};
    const hh_mm_ss clock{instant - day};
    return {static_cast<int>(date.year()),
            static_cast<int>(static_cast<unsigned>(date.month())),
            static_cast<int>(static_cast<unsigned>(date.day())),
            static_cast<int>(clock.hours().count()),
            static_cast<int>(clock.minutes().count()),
            static_cast<int>(clock.seconds().count()),
            nanoseconds};
}

bool Same(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
           a.wMinute == b.wMinute && a.wSecond == b.wSecond;
}

bool InRange(const LocalDateTime& l) {
    const std::chrono::year_month_day date{std::chrono::year{l.year},
                                           std::chrono::month{static_cast<unsigned>(l.month)},
                                           std::chrono::day{static_cast<unsigned>(l.day)}};
    return date.ok() && l.year >= kFirstYear && l.year <= kLastYear && l.hour >= 0 &&
           l.hour <= 23 && l.minute >= 0 && l.minute <= 59 && l.second >= 0 && l.second <= 59 &&
           l.nanoseconds < 1'000'000'000u;
}

} // namespace

LocalDateTime ToLocal(FileTime time) {
    if (const auto local = LocalReading(time.seconds))
        return {local->wYear,   local->wMonth,  local->wDay,     local->wHour,
                local->wMinute, local->wSecond, time.nanoseconds};
    // Outside the system calendar: the zone's standard offset of today.
    TIME_ZONE_INFORMATION zone{};
    GetTimeZoneInformation(&zone);
    const std::int64_t bias = zone.Bias + zone.StandardBias;
    return Civil(time.seconds - bias * kSecondsPerMinute, time.nanoseconds);
}

std::optional<FileTime> FromLocal(const LocalDateTime& local) {
    if (!InRange(local))
        return std::nullopt;
    SYSTEMTIME wanted{};
    wanted.wYear = static_cast<WORD>(local.year);
    wanted.wMonth = static_cast<WORD>(local.month);
    wanted.wDay = static_cast<WORD>(local.day);
    wanted.wHour = static_cast<WORD>(local.hour);
    wanted.wMinute = static_cast<WORD>(local.minute);
    wanted.wSecond = static_cast<WORD>(local.second);
    const auto asUtc = FromSystemTime(wanted);
    if (!asUtc)
        return std::nullopt;

    // Every offset the zone uses around that date gives a candidate; a
    // candidate counts when its local reading is the very reading asked for,
    // and the earliest such instant wins (the first of a repeated hour). None
    // counts for a reading in the hour skipped in spring.
    std::vector<std::int64_t> candidates;
    for (const int year : {local.year - 1, local.year, local.year + 1}) {
        const auto rules = RulesFor(year);
        if (!rules)
            continue;
        for (const LONG bias : {rules->StandardBias, rules->DaylightBias})
            candidates.push_back(*asUtc + (rules->Bias + bias) * kSecondsPerMinute);
        SYSTEMTIME converted{};
        if (year == local.year && TzSpecificLocalTimeToSystemTime(&*rules, &wanted, &converted))
            if (const auto seconds = FromSystemTime(converted))
                candidates.push_back(*seconds);
    }
    std::optional<std::int64_t> best;
    for (const std::int64_t candidate : candidates) {
        const auto back = LocalReading(candidate);
        if (back && Same(*back, wanted) && (!best || candidate < *best))
            best = candidate;
    }
    if (!best)
        return std::nullopt;
    return FileTime{*best, local.nanoseconds};
}

} // namespace stampwell::platform
