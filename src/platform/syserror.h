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

// Failures the program finds out by itself, in the platform's own codes:
// a name that no longer names the item found (ESTALE, ERROR_FILE_INVALID),
// a file that is not what it should be (EBADMSG, ERROR_INVALID_DATA), a
// missing item (ENOENT, ERROR_FILE_NOT_FOUND).
SysError NotTheItemFound();
SysError DamagedData();
SysError NotFound();

// Whether the failure says the item (or a folder on its way) is not there.
bool IsNotFound(const SysError& error);

} // namespace stampwell::platform
