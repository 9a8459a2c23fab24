#pragma once

// Whether the Windows tests run under Wine. Wine reproduces Windows closely
// but not everywhere: it keeps no creation time, sets Archive on every file,
// ignores Read-only on folders, keeps no symbolic links or junctions, and
// lets root open read-only files for writing. Tests that meet such a
// difference state both expectations.
#ifdef _WIN32
#include <windows.h>
#endif

namespace stampwell::testing {

inline bool UnderWine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

} // namespace stampwell::testing
