#include "platform/filetime.h"

#include <time.h>

namespace stampwell::platform {

FileTime Now() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return {static_cast<std::int64_t>(now.tv_sec), static_cast<std::uint32_t>(now.tv_nsec)};
}

} // namespace stampwell::platform
