#pragma once

#include "platform/win32/wide.h"
#include "testing/tempfolder.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include <windows.h>
#include <winioctl.h>

// A temporary folder for the Windows tests, which also reach past 260
// characters: what is in it is removed through \\?\ paths first.
class Scratch : public stampwell::testing::TempFolder {
public:
    Scratch() = default;
    ~Scratch() { RemoveContents(Extended(Root())); }

    // The path of `name` as given, '/' included.
    std::string Path(const std::string& name) const { return Root() + "\\" + name; }

    // Creates an empty file (or one of the given size, without writing it).
    std::string File(const std::string& name, std::uintmax_t size = 0) const {
        const std::string path = TempFolder::File(name, "");
        if (size > 0)
            std::filesystem::resize_file(stampwell::testing::FromPathText(path), size);
        return path;
    }

    // The \\?\ form of an absolute path, for reaching past 260 characters.
    static std::wstring Extended(const std::string& path) {
        return L"\\\\?\\" + stampwell::platform::win32::Widen(path);
    }

    // Turns the empty folder `link` into a junction to the folder `target` (an
    // absolute path); Windows lets every user make one. False when the file
    // system refuses.
    static bool MakeJunction(const std::string& link, const std::string& target) {
        const std::wstring substitute = L"\\??\\" + stampwell::platform::win32::Widen(target);
        const std::wstring print = stampwell::platform::win32::Widen(target);
        // REPARSE_DATA_BUFFER for a mount point: tag, length, reserved, four
        // offsets and lengths, then both names with their NULs.
        const std::size_t names = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
        std::vector<char> buffer(16 + names);
        const auto put16 = [&](std::size_t at, std::size_t value) {
            const auto v = static_cast<WORD>(value);
            std::memcpy(buffer.data() + at, &v, sizeof v);
        };
        const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
        std::memcpy(buffer.data(), &tag, sizeof tag);
        put16(4, 8 + names);
        put16(8, 0);
        put16(10, substitute.size() * sizeof(wchar_t));
        put16(12, (substitute.size() + 1) * sizeof(wchar_t));
        put16(14, print.size() * sizeof(wchar_t));
        std::memcpy(buffer.data() + 16, substitute.c_str(),
                    (substitute.size() + 1) * sizeof(wchar_t));
        std::memcpy(buffer.data() + 16 + (substitute.size() + 1) * sizeof(wchar_t), print.c_str(),
                    (print.size() + 1) * sizeof(wchar_t));
        const HANDLE h =
            CreateFileW(Extended(link).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        DWORD returned = 0;
        const bool made =
            DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(),
                            static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
        CloseHandle(h);
        return made;
    }

private:
    // Removes what a folder holds, read-only items and links included; links
    // are removed, never followed.
    static void RemoveContents(const std::wstring& folder) {
        WIN32_FIND_DATAW data{};
        const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return;
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW(path.c_str());
                continue;
            }
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveContents(path);
            RemoveDirectoryW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
};
