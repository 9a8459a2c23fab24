#include "platform/wildcard.h"

#include <windows.h>

namespace stampwell::platform {

// lower(upper(c)) from the system's tables, on the UTF-16 form.
char32_t FoldCharacter(char32_t c) {
    wchar_t units[2];
    int count = 1;
    if (c >= 0x10000) {
        units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(c);
    }
    CharUpperBuffW(units, static_cast<DWORD>(count));
    CharLowerBuffW(units, static_cast<DWORD>(count));
    if (count == 2)
        return 0x10000 + ((static_cast<char32_t>(units[0]) - 0xD800) << 10) +
               (static_cast<char32_t>(units[1]) - 0xDC00);
    return units[0];
}

} // namespace stampwell::platform
