#include "platform/files.h"

#include "platform/win32/handle.h"
#include "platform/win32/wide.h"

#include <atomic>
#include <windows.h>

namespace stampwell::platform {

namespace {

// Opened for reading while others may read, write or delete it.
win32::FileHandle OpenForReading(const std::string& path) {
    return win32::FileHandle(CreateFileW(win32::WidePath(path).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

DWORD Attributes(const std::string& path) {
    if (path.empty())
        return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(win32::WidePath(path).c_str());
}

// Where the first folder to create may start: after "C:\", "\\server\share\"
// or "\\?\C:\", which are never created.
std::size_t RootLength(const std::wstring& path) {
    std::size_t start = 0;
    if (path.starts_with(L"\\\\?\\UNC\\"))
        start = 8;
    else if (path.starts_with(L"\\\\?\\"))
        start = 4;
    else if (path.starts_with(L"\\\\"))
        start = 2;
    if (start == 2 || start == 8) {
        // Server and share name.
        std::size_t separators = 0;
        while (start < path.size() && separators < 2)
            if (path[start++] == L'\\')
                ++separators;
        return start;
    }
    if (path.size() >= start + 2 && path[start + 1] == L':')
        start += 2;
    while (start < path.size() && path[start] == L'\\')
        ++start;
    return start;
}

} // namespace

bool PathExists(const std::string& path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

SysError CreateFolderPath(const std::string& path) {
    if (path.empty())
        return MakeSysError(ERROR_PATH_NOT_FOUND);
    const std::wstring wide = win32::WidePath(path);
    for (std::size_t end = RootLength(wide); end <= wide.size(); ++end) {
        if (end < wide.size() && wide[end] != L'\\')
            continue;
        if (end == 0 || wide[end - 1] == L'\\')
            continue;
        const std::wstring prefix = wide.substr(0, end);
        if (!CreateDirectoryW(prefix.c_str(), nullptr)) {
            const SysError error = LastSysError();
            const DWORD attributes = GetFileAttributesW(prefix.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES ||
                (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                return error;
        }
    }
    return IsFolder(path) ? SysError{} : MakeSysError(ERROR_DIRECTORY);
}

SysError ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const win32::FileHandle file = OpenForReading(path);
    if (!file.Valid())
        return LastSysError();
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr))
            return LastSysError();
        if (got == 0)
            return {};
        bytes.append(buffer, got);
    }
}

SysError NotARegularFile() {
    return {ERROR_BAD_FILE_TYPE, "Not a regular file (a pipe or a device)"};
}

SysError FileTooLarge() {
    return {ERROR_FILE_TOO_LARGE, "The file is larger than " +
                                      std::to_string(kSettingsFileLimit >> 20) +
                                      " MiB, too large for a settings file"};
}

SysError ReadSettingsFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const win32::FileHandle file = OpenForReading(path);
    if (!file.Valid())
        return LastSysError();
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return NotARegularFile();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size))
        return LastSysError();
    if (static_cast<unsigned long long>(size.QuadPart) > kSettingsFileLimit)
        return FileTooLarge();
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            bytes.clear();
            return LastSysError();
        }
        if (got == 0)
            return {};
        if (bytes.size() + got > kSettingsFileLimit) {
            bytes.clear();
            return FileTooLarge();
        }
        bytes.append(buffer, got);
    }
}

SysError WriteFileAtomically(const std::string& path, std::string_view bytes) {
    const DWORD old = Attributes(path);
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return MakeSysError(ERROR_DIRECTORY);
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY) != 0)
        return MakeSysError(ERROR_ACCESS_DENIED);

    static std::atomic<unsigned> counter{0};
    std::wstring temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = win32::WidePath(path + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                                    std::to_string(counter++));
        created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            return LastSysError();
    }
    if (created == INVALID_HANDLE_VALUE)
        return MakeSysError(ERROR_FILE_EXISTS);

    SysError error;
    {
        const win32::FileHandle file(created);
        while (!bytes.empty() && !error.Failed()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
            DWORD written = 0;
            if (!WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr))
                error = LastSysError();
            bytes.remove_prefix(written);
        }
        if (!error.Failed() && !FlushFileBuffers(file.Get()))
            error = LastSysError();
    } // closed before the rename
    if (!error.Failed() && !MoveFileExW(temporary.c_str(), win32::WidePath(path).c_str(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = LastSysError();
    if (error.Failed())
        DeleteFileW(temporary.c_str());
    return error;
}

} // namespace stampwell::platform
