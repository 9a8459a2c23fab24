#include "platform/filetime.h"

#include "platform/win32/ticks.h"

#include <windows.h>

namespace stampwell::platform {

FileTime Now() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return win32::FromTicks(now);
}

} // namespace stampwell::platform
