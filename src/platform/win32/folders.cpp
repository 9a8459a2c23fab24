#include "platform/folders.h"

#include "platform/win32/wide.h"

// windows.h comes first: the shell headers build on it.
#include <windows.h>
// clang-format off
#include <knownfolders.h>
#include <shlobj.h>
// clang-format on

namespace stampwell::platform {

namespace {

std::string KnownFolder(const KNOWNFOLDERID& id) {
    wchar_t* path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, 0, nullptr, &path);
    std::string folder = SUCCEEDED(result) && path != nullptr ? win32::Narrow(path) : std::string();
    CoTaskMemFree(path);
    while (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

} // namespace

std::string AppDataFolder() {
    return KnownFolder(FOLDERID_RoamingAppData);
}

std::string StateFolder() {
    return KnownFolder(FOLDERID_LocalAppData);
}

std::string CurrentFolder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, buffer.data());
    if (length == 0 || length >= size)
        return {};
    buffer.resize(length);
    while (buffer.size() > 3 && buffer.back() == L'\\')
        buffer.pop_back();
    return win32::Narrow(buffer);
}

bool IsAbsolutePath(const std::string& path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 2 && separator(path[0]) && separator(path[1]))
        return true;
    return path.size() >= 3 && path[1] == ':' && separator(path[2]);
}

std::string ProgramFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const std::size_t slash = buffer.rfind(L'\\');
    return slash == std::wstring::npos ? std::string() : win32::Narrow(buffer.substr(0, slash));
}

} // namespace stampwell::platform
