#include "platform/locale.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace stampwell::platform {

std::string ShortDatePattern() {
    wchar_t pattern[LOCALE_NAME_MAX_LENGTH * 2] = {};
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, pattern,
                                       static_cast<int>(std::size(pattern)));
    return length > 1 ? win32::Narrow(std::wstring_view(pattern, length - 1)) : std::string();
}

} // namespace stampwell::platform
