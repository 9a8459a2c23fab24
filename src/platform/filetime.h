#pragma once

#include <compare>
#include <cstdint>

namespace stampwell::platform {

// One time stamp of a file or folder: exact and in UTC. Windows keeps 100 ns
// ticks since 1601, Linux nanoseconds; both fit without loss.
struct FileTime {
    std::int64_t seconds = 0;      // since 1970-01-01 00:00:00 UTC, negative before
    std::uint32_t nanoseconds = 0; // 0 to 999,999,999

    auto operator<=>(const FileTime&) const = default;
};

// The current time.
FileTime Now();

} // namespace stampwell::platform
