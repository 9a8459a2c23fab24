#include "platform/win32/ticks.h"

#include <cstdint>
#include <limits>

namespace stampwell::platform::win32 {

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::uint32_t kNanosecondsPerTick = 100;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDifference = 11'644'473'600;

} // namespace

FileTime FromTicks(const FILETIME& ticks) {
    const std::uint64_t count =
        (static_cast<std::uint64_t>(ticks.dwHighDateTime) << 32) | ticks.dwLowDateTime;
    // Every tick count up to 2^64 - 1 fits: the seconds stay far below 2^63.
    const auto seconds = static_cast<std::int64_t>(count / kTicksPerSecond);
    const auto rest = static_cast<std::uint32_t>(count % kTicksPerSecond);
    return {seconds - kEpochDifference, rest * kNanosecondsPerTick};
}

std::optional<FILETIME> ToTicks(FileTime time) {
    if (time.nanoseconds >= 1'000'000'000u || time.nanoseconds % kNanosecondsPerTick != 0)
        return std::nullopt;
    constexpr std::int64_t kMaxSeconds = std::numeric_limits<std::int64_t>::max() / kTicksPerSecond;
    if (time.seconds < -kEpochDifference || time.seconds > kMaxSeconds - kEpochDifference)
        return std::nullopt;
    const std::int64_t since1601 = time.seconds + kEpochDifference;
    const std::int64_t rest = time.nanoseconds / kNanosecondsPerTick;
    if (since1601 == kMaxSeconds &&
        rest > std::numeric_limits<std::int64_t>::max() % kTicksPerSecond)
        return std::nullopt;
    const auto count = static_cast<std::uint64_t>(since1601 * kTicksPerSecond + rest);
    if (count == 0)
        return std::nullopt;
    FILETIME ticks{};
    ticks.dwLowDateTime = static_cast<DWORD>(count & 0xFFFFFFFFu);
    ticks.dwHighDateTime = static_cast<DWORD>(count >> 32);
    return ticks;
}

} // namespace stampwell::platform::win32
