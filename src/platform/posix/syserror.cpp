#include "platform/syserror.h"

#include <cerrno>
#include <cstring>

namespace stampwell::platform {

SysError LastSysError() {
    return MakeSysError(errno);
}

SysError MakeSysError(int code) {
    if (code == 0)
        return {};
    char buffer[256] = {};
    // The GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return {code, text != nullptr ? text : ""};
}

SysError NotTheItemFound() {
    return MakeSysError(ESTALE);
}

SysError DamagedData() {
    return MakeSysError(EBADMSG);
}

SysError NotFound() {
    return MakeSysError(ENOENT);
}

bool IsNotFound(const SysError& error) {
    return error.code == ENOENT || error.code == ENOTDIR;
}

} // namespace stampwell::platform
