#include "scratch_record.h"

#include <windows.h>

struct ScratchRecord::Place {};

namespace {

std::wstring Widen(const std::string& text) {
    const int count = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0'); // with the ending NUL
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), count);
    return wide;
}

} // namespace

ScratchRecord::ScratchRecord()
    : subKey_("Software\\Olvadi\\Quillbox\\StampupdateTest" +
              std::to_string(GetCurrentProcessId())) {}

ScratchRecord::~ScratchRecord() {
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen(subKey_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, Widen(subKey_).c_str());
}

void ScratchRecord::Put(const std::string& name, std::uint32_t type, const std::string& data) {
    const std::wstring text = Widen(data);
    const auto* bytes = reinterpret_cast<const BYTE*>(
        type == REG_SZ ? static_cast<const void*>(text.data()) : data.data());
    const auto size =
        static_cast<DWORD>(type == REG_SZ ? text.size() * sizeof(wchar_t) : data.size());
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(subKey_).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, Widen(name).c_str(), 0, type, bytes, size);
        RegCloseKey(key);
    }
}
