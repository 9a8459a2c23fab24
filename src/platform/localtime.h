#pragma once

#include "platform/filetime.h"

#include <optional>

namespace stampwell::platform {

// A wall-clock reading in the machine's time zone.
struct LocalDateTime {
    int year = 1970;
    int month = 1; // 1 to 12
    int day = 1;   // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::uint32_t nanoseconds = 0;

    bool operator==(const LocalDateTime&) const = default;
};

// Local time at that instant, with the zone's rules in force then (a July date
// in Berlin is UTC+2 whenever it is converted).
LocalDateTime ToLocal(FileTime time);

// The instant a local reading names. A reading that occurs twice (the hour
// repeated in autumn) gives the first; one that does not exist (the hour
// skipped in spring) or a field out of range gives nothing.
std::optional<FileTime> FromLocal(const LocalDateTime& local);

} // namespace stampwell::platform
