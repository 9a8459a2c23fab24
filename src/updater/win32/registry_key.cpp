#include "updater/registry_key.h"

#include <algorithm>
#include <vector>
#include <windows.h>

namespace stampupdate {
namespace {

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), count);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int count =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), count, nullptr, nullptr);
    return text;
}

} // namespace

struct RegistryKey::Impl {
    HKEY key;

    explicit Impl(HKEY opened) : key(opened) {}
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() { RegCloseKey(key); }
};

RegistryKey::RegistryKey(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RegistryKey::RegistryKey(RegistryKey&&) noexcept = default;
RegistryKey& RegistryKey::operator=(RegistryKey&&) noexcept = default;
RegistryKey::~RegistryKey() = default;

std::optional<RegistryKey> RegistryKey::Open(RootKey root, const std::string& subKey) {
    const HKEY rootKey = root == RootKey::CurrentUser ? HKEY_CURRENT_USER : nullptr;
    HKEY key = nullptr;
    if (RegOpenKeyExW(rootKey, Widen(subKey).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return RegistryKey(std::make_unique<Impl>(key));
}

std::optional<ValueInfo> RegistryKey::Describe(const std::string& name) const {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(impl_->key, Widen(name).c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return ValueInfo{type, size};
}

std::optional<std::string> RegistryKey::ReadText(const std::string& name, std::size_t size) const {
    // One spare character, so that the buffer is never empty and always has room
    // for a NUL that an unterminated value leaves out.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(size);
    if (RegQueryValueExW(impl_->key, Widen(name).c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    const auto end = std::find(buffer.begin(), buffer.end(), L'\0');
    return Narrow(std::wstring(buffer.begin(), end));
}

std::optional<std::array<unsigned char, 4>>
RegistryKey::ReadFourBytes(const std::string& name) const {
    std::array<unsigned char, 4> buffer{};
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(buffer.size());
    if (RegQueryValueExW(impl_->key, Widen(name).c_str(), nullptr, &type, buffer.data(), &bytes) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return buffer;
}

} // namespace stampupdate
