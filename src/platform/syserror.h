#pragma once

#include <string>

namespace stampwell::platform {

// An operating-system failure as the system reported it: errno on POSIX,
// GetLastError() on Windows, with the system's own text in UTF-8.
struct SysError {
    int code = 0; // 0 means no failure
    std::string text;

    bool Failed() const { return code != 0; }
};

// The failure the last system call left behind (errno / GetLastError).
SysError LastSysError();

// The failure for a known code, with the system's text for it.
SysError MakeSysError(int code);

} // namespace stampwell::platform
