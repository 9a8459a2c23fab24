#pragma once

#include "platform/filetime.h"

#include <optional>
#include <windows.h>

// FILETIME counts 100 ns ticks since 1601-01-01 UTC; FileTime counts seconds
// and nanoseconds since 1970. Both directions are exact.
namespace stampwell::platform::win32 {

FileTime FromTicks(const FILETIME& ticks);

// The FILETIME of a time, or nothing when it has none: at or before
// 1601-01-01 00:00:00 (tick 0 means "unchanged" to SetFileTime), past the
// largest signed tick count, or with nanoseconds that are not whole 100 ns
// ticks (storing them would round the time).
std::optional<FILETIME> ToTicks(FileTime time);

} // namespace stampwell::platform::win32
