#include "platform/syserror.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace stampwell::platform {

SysError LastSysError() {
    return MakeSysError(static_cast<int>(GetLastError()));
}

SysError MakeSysError(int code) {
    if (code == 0)
        return {};
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty())
        text = L"Error " + std::to_wstring(code);
    return {code, win32::Narrow(text)};
}

SysError NotTheItemFound() {
    return MakeSysError(ERROR_FILE_INVALID);
}

SysError DamagedData() {
    return MakeSysError(ERROR_INVALID_DATA);
}

SysError NotFound() {
    return MakeSysError(ERROR_FILE_NOT_FOUND);
}

bool IsNotFound(const SysError& error) {
    return error.code == ERROR_FILE_NOT_FOUND || error.code == ERROR_PATH_NOT_FOUND;
}

} // namespace stampwell::platform
