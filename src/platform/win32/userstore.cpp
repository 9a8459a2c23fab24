#include "platform/userstore.h"

#include "platform/win32/wide.h"

#include <windows.h>

namespace stampwell::platform {

namespace {

// Closes a registry key when it goes out of scope.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* put() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

} // namespace

SysError WriteUserString(const std::string& key, const std::string& name,
                         const std::string& value) {
    RegistryKey handle;
    const LSTATUS opened = RegCreateKeyExW(HKEY_CURRENT_USER, win32::Widen(key).c_str(), 0, nullptr,
                                           0, KEY_SET_VALUE, nullptr, handle.put(), nullptr);
    if (opened != ERROR_SUCCESS)
        return MakeSysError(static_cast<int>(opened));
    const std::wstring data = win32::Widen(value);
    const LSTATUS set = RegSetValueExW(handle.get(), win32::Widen(name).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    return set == ERROR_SUCCESS ? SysError{} : MakeSysError(static_cast<int>(set));
}

std::optional<std::string> ReadUserString(const std::string& key, const std::string& name) {
    const std::wstring wideKey = win32::Widen(key);
    const std::wstring wideName = win32::Widen(name);
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), wideName.c_str(), RRF_RT_REG_SZ, nullptr,
                     nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, wideKey.c_str(), wideName.c_str(), RRF_RT_REG_SZ, nullptr,
                     data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(wcsnlen(data.c_str(), data.size()));
    return win32::Narrow(data);
}

SysError RemoveUserKey(const std::string& key) {
    const LSTATUS result = RegDeleteTreeW(HKEY_CURRENT_USER, win32::Widen(key).c_str());
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
        return {};
    return MakeSysError(static_cast<int>(result));
}

std::string UserStoreFile() {
    return {};
}

} // namespace stampwell::platform
