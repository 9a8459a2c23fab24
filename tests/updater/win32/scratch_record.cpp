#include "scratch_record.h"

#include <windows.h>

namespace {

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // the test's names are ASCII
}

void Put(const std::string& subKey, const std::string& name, DWORD type, const BYTE* data,
         DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, Widen(subKey).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, Widen(name).c_str(), 0, type, data, size);
        RegCloseKey(key);
    }
}

} // namespace

ScratchRecord::ScratchRecord()
    : subKey_("Software\\Olvadi\\Quillbox\\StampupdateTest" +
              std::to_string(GetCurrentProcessId())) {}

ScratchRecord::~ScratchRecord() {
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen(subKey_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, Widen(subKey_).c_str());
}

void ScratchRecord::PutText(const std::string& name, const std::string& text) {
    const int count = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), count);
    Put(subKey_, name, REG_SZ, reinterpret_cast<const BYTE*>(wide.data()),
        static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

void ScratchRecord::PutBinary(const std::string& name, const std::vector<unsigned char>& bytes) {
    Put(subKey_, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

void ScratchRecord::PutDword(const std::string& name, std::uint32_t value) {
    const DWORD data = value;
    Put(subKey_, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}
